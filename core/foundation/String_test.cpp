#include "foundation/String.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>
#include <string>

namespace {

std::string Text(String const& s) {
    return std::string(s.chars(), static_cast<std::size_t>(s.length()));
}
std::string Text(SubString const& s) {
    return std::string(s.chars(), static_cast<std::size_t>(s.length()));
}

void ExpectNilUntouched() {
    EXPECT_EQ(_nilStrRep.len, 0);
    EXPECT_EQ(_nilStrRep.sz, 0);
    EXPECT_EQ(_nilStrRep.s[0], '\0');
    EXPECT_EQ(_nilString.length(), 0);
}

struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

} // namespace

TEST(String, AllocatesByPowersOfTwoAndReusesInPlace) {
    String s;
    EXPECT_EQ(s.allocation(), 0);
    s = "abcdef";
    EXPECT_EQ(s.allocation(), 6);
    s += 'g';
    EXPECT_EQ(s.allocation(), 22);
    EXPECT_EQ(Text(s), "abcdefg");

    char const* before = s.chars();
    s = "xy";
    EXPECT_EQ(s.chars(), before) << "a shorter text is stored in place";
    EXPECT_EQ(s.allocation(), 22) << "never shrunk";

    String hundred(std::string(100, 'h').c_str());
    EXPECT_EQ(hundred.allocation(), 118);
    hundred.alloc(10);
    EXPECT_EQ(hundred.allocation(), 118);
    String kept("keep");
    kept.alloc(200);
    EXPECT_EQ(kept.allocation(), 246);
    EXPECT_EQ(Text(kept), "keep");
    EXPECT_TRUE(kept.OK());

    // Copies own their characters.
    String copy(s);
    copy[0] = 'Q';
    EXPECT_EQ(Text(s), "xy");
    String moved(std::move(copy));
    EXPECT_EQ(Text(moved), "Qy");
    EXPECT_TRUE(copy.empty()); // NOLINT(bugprone-use-after-move): moved-from is empty
    ExpectNilUntouched();
}

TEST(String, RepresentationFunctions) {
    StrRep* r = Salloc(&_nilStrRep, "abc", -1, -1);
    EXPECT_EQ(r->len, 3);
    EXPECT_STREQ(r->s, "abc");
    // Longer newlen: the length covers it, the text is followed by NULs.
    r = Salloc(r, "xy", 2, 5);
    EXPECT_EQ(r->len, 5);
    EXPECT_EQ(std::string(r->s, 6), std::string("xy\0\0\0\0", 6));
    r = Salloc(r, nullptr, -1, -1);
    EXPECT_EQ(r->len, 0);

    r = Scat(r, "ab", -1, "cd", 2);
    EXPECT_STREQ(r->s, "abcd");
    r = Scat(r, r->s, r->len, "-", 1, r->s, 2);
    EXPECT_STREQ(r->s, "abcd-ab");
    r = Sprepend(r, r->s + 5, 2);
    EXPECT_STREQ(r->s, "ababcd-ab");
    r = Sreverse(r, r);
    EXPECT_STREQ(r->s, "ba-dcbaba");

    StrRep* other = Supcase(r, &_nilStrRep);
    EXPECT_STREQ(other->s, "BA-DCBABA");
    EXPECT_STREQ(r->s, "ba-dcbaba");
    other = Sdowncase(other, other);
    EXPECT_STREQ(other->s, "ba-dcbaba");

    // Copying nothing into nothing allocates nothing; an empty copy into an
    // existing representation keeps it with length 0.
    EXPECT_EQ(Scopy(&_nilStrRep, &_nilStrRep), &_nilStrRep);
    StrRep* same = Scopy(other, &_nilStrRep);
    EXPECT_EQ(same, other);
    EXPECT_EQ(same->len, 0);
    EXPECT_EQ(same->s[0], '\0');

    ::operator delete(r);
    ::operator delete(same);
    ExpectNilUntouched();
}

TEST(String, ConvertsNumbersWithoutTheLocale) {
    EXPECT_EQ(Text(String(-7)), "-7");
    EXPECT_EQ(Text(String(2147483647)), "2147483647");
    std::locale const previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    EXPECT_EQ(Text(String(2.5)), " 2.500");
    EXPECT_EQ(Text(String(-0.0005)), "-0.001");
    EXPECT_EQ(Text(String(123456.789)), "123456.789");
    std::locale::global(previous);
    EXPECT_EQ(Text(String('c')), "c");
    EXPECT_EQ(Text(String("abcdef", 3)), "abc");
}

TEST(String, ComparesSignedBytes) {
    EXPECT_LT(fcompare("abc", "ABD"), 0);
    EXPECT_EQ(fcompare("abc", "ABC"), 0);
    EXPECT_GT(compare(String("abc"), "ABC"), 0);
    EXPECT_EQ(compare(String("ab"), "abcd"), -2);
    EXPECT_EQ(compare(String("b"), "a"), 1);
    // Folding happens to upper case, so '_' (between the cases) sorts after letters.
    EXPECT_GT(fcompare("_", "a"), 0);
    // Bytes above 127 are negative.
    EXPECT_LT(compare(String("\xe9"), "a"), 0);
    EXPECT_EQ(compare(String(), static_cast<char const*>(nullptr)), 0);
    EXPECT_GT(compare(String("a"), static_cast<char const*>(nullptr)), 0);

    String s("hello world");
    EXPECT_TRUE(s.before(' ') == "hello");
    EXPECT_TRUE(s.after(' ') == String("world"));
    EXPECT_TRUE(s.before(' ') < s.after(' '));
    EXPECT_TRUE(String("hello") == s.before(5));
    EXPECT_TRUE(s != "hello");
    EXPECT_TRUE(s >= s.before(5));
}

TEST(String, SearchesForwardAndBackward) {
    String s("banana");
    EXPECT_EQ(s.index('a'), 1);
    EXPECT_EQ(s.index('a', 2), 3);
    EXPECT_EQ(s.index('a', -1), 5);
    EXPECT_EQ(s.index('a', -2), 3);
    EXPECT_EQ(s.index("an", -1), 3);
    EXPECT_EQ(s.index("an", -3), 1) << "last character of the match at or before position 3";
    EXPECT_EQ(s.index("na", 3), 4);
    EXPECT_EQ(s.index("x"), -1);
    EXPECT_EQ(s.index("a", 100), -1);
    EXPECT_EQ(s.index('a', -100), -1);

    EXPECT_TRUE(s.contains("nan"));
    EXPECT_TRUE(s.contains("nan", 2));
    EXPECT_FALSE(s.contains("nan", 1));
    EXPECT_TRUE(s.matches("nana", 2));
    EXPECT_FALSE(s.matches("nan", 2));
    EXPECT_TRUE(s.matches(String("banana")));
    EXPECT_EQ(s.freq("ana"), 2) << "overlaps count";
    EXPECT_EQ(s.freq('n'), 2);

    SubString mid = s.at(1, 3); // "ana"
    EXPECT_TRUE(mid.contains("na"));
    EXPECT_FALSE(mid.contains("ban"));
    EXPECT_FALSE(mid.contains('b'));
    EXPECT_EQ(s.index(mid, 2), 3);
}

TEST(String, CutsSubstrings) {
    String s("key=value=more");
    EXPECT_EQ(Text(s.before('=')), "key");
    EXPECT_EQ(Text(s.through('=')), "key=");
    EXPECT_EQ(Text(s.from('=')), "=value=more");
    EXPECT_EQ(Text(s.after('=')), "value=more");
    EXPECT_EQ(Text(s.after('=', -1)), "more");
    EXPECT_EQ(Text(s.at("val")), "val");
    EXPECT_EQ(Text(s.before(3)), "key");
    EXPECT_EQ(Text(s.through(2)), "key");
    EXPECT_EQ(Text(s.from(10)), "more");
    EXPECT_EQ(Text(s.after(9)), "more");
    EXPECT_EQ(Text(s(4, 5)), "value");

    String const& c = s;
    EXPECT_EQ(Text(c.before(String("="))), "key");

    // Missing patterns and ranges outside the text give the empty view on _nilString.
    EXPECT_TRUE(s.before('#').empty());
    EXPECT_TRUE(s.from("#").empty());
    EXPECT_TRUE(s.at(10, 5).empty());
    EXPECT_TRUE(s.at(-1, 2).empty());
    EXPECT_TRUE(s.after(100).empty());
    EXPECT_TRUE(s.through(-5).empty());
    s.before('#') = "lost";
    s.at(20, 1) = 'x';
    EXPECT_EQ(Text(s), "key=value=more");
    ExpectNilUntouched();
}

TEST(String, SubStringAssignmentResizesItsString) {
    String s("hello world");
    s.at("world") = "there, everyone";
    EXPECT_EQ(Text(s), "hello there, everyone");
    s.before(' ') = "hi";
    EXPECT_EQ(Text(s), "hi there, everyone");
    s.at(0, 0) = '>';
    EXPECT_EQ(Text(s), ">hi there, everyone");
    s.after(',') = String();
    EXPECT_EQ(Text(s), ">hi there,");

    // The view then covers the new text.
    SubString word = s.at("there");
    word = "x";
    word = "yz";
    EXPECT_EQ(Text(s), ">hi yz,");

    // Sources inside the same String, both in place and when it must grow.
    s = "abcdef";
    s.at(0, 2) = s.from(2);
    EXPECT_EQ(Text(s), "cdefcdef");
    s.alloc(100);
    s.at(1, 1) = s.at(4, 3);
    EXPECT_EQ(Text(s), "ccdeefcdef");
    s.at(2, 5) = s.at(0, 1);
    EXPECT_EQ(Text(s), "cccdef");
    EXPECT_TRUE(s.OK());
}

TEST(String, SelfReferencingEdits) {
    for (int reserve : {0, 200}) {
        String s("ab");
        s.alloc(reserve);
        s += s;
        EXPECT_EQ(Text(s), "abab");
        s.prepend(s);
        EXPECT_EQ(Text(s), "abababab");
        s.prepend(s.after(5));
        EXPECT_EQ(Text(s), "ababababab");
        s += s.at(1, 2);
        EXPECT_EQ(Text(s), "abababababba");
        s = s.at(2, 3);
        EXPECT_EQ(Text(s), "aba");
        s = s.chars() + 1;
        EXPECT_EQ(Text(s), "ba");
        s = s;
        EXPECT_EQ(Text(s), "ba");
        s.del(s.at(1, 1));
        EXPECT_EQ(Text(s), "b");
        EXPECT_TRUE(s.OK());
    }
}

TEST(String, EditsInPlace) {
    String s("aaa");
    EXPECT_EQ(s.gsub("a", "aa"), 3) << "inserted text is not searched again";
    EXPECT_EQ(Text(s), "aaaaaa");
    s = "aab";
    EXPECT_EQ(s.gsub("ab", "b"), 1);
    EXPECT_EQ(Text(s), "ab");
    EXPECT_EQ(s.gsub("", "x"), 0);
    s = "a.b.c";
    EXPECT_EQ(s.gsub(s.at(1, 1), s.before(1)), 2) << "pattern and replacement taken from the String itself";
    EXPECT_EQ(Text(s), "aabac");

    s = "one two one";
    s.del("one");
    EXPECT_EQ(Text(s), " two one");
    s.del('o', -1);
    EXPECT_EQ(Text(s), " two ne");
    s.del(0, 5);
    EXPECT_EQ(Text(s), "ne");

    s = "hello wORLD o'neil 3rd-place 'quoted'";
    s.capitalize();
    EXPECT_EQ(Text(s), "Hello World O'neil 3rd-Place 'Quoted'");
    s.upcase();
    EXPECT_EQ(Text(s), "HELLO WORLD O'NEIL 3RD-PLACE 'QUOTED'");
    s.downcase();
    EXPECT_EQ(Text(s), "hello world o'neil 3rd-place 'quoted'");
    s = "abc";
    s.reverse();
    EXPECT_EQ(Text(s), "cba");
    EXPECT_EQ(Text(String("ab") + String("cd").at(1, 1) + 'e' + "f"), "abdef");
}

TEST(String, OutOfRangeIndicesStayInsideTheText) {
    String s("abc");
    EXPECT_EQ(s[1], 'b');
    EXPECT_EQ(s[static_cast<std::size_t>(2)], 'c');
    EXPECT_EQ(s[-1], '\0');
    EXPECT_EQ(s[3], '\0');
    s[3] = 'X';
    s[-100] = 'Y';
    s[static_cast<std::size_t>(1) << 40] = 'Z';
    EXPECT_EQ(Text(s), "abc");
    EXPECT_EQ(s.elem(7), '\0');
    String const& c = s;
    EXPECT_EQ(c[5], '\0');
    EXPECT_EQ(c.firstchar(), 'a');
    EXPECT_EQ(c.lastchar(), 'c');

    String empty;
    empty[0] = 'x';
    EXPECT_EQ(empty.lastchar(), '\0');
    EXPECT_EQ(empty.firstchar(), '\0');
    s.del(2, 5);
    s.del(-1, 1);
    EXPECT_EQ(Text(s), "abc");
    ExpectNilUntouched();
}

TEST(String, CutsTextsBeyondTheLimit) {
    std::string const longer(70000, 'x');
    String s(longer.c_str());
    EXPECT_EQ(s.length(), kMaxStringLength);
    EXPECT_EQ(s.allocation(), kMaxStringLength);
    EXPECT_TRUE(s.OK());

    s += "more";
    s.prepend('p');
    EXPECT_EQ(s.length(), kMaxStringLength);
    EXPECT_EQ(s.firstchar(), 'p');
    EXPECT_EQ(s.lastchar(), 'x');
    EXPECT_EQ(s.gsub("x", "yy"), kMaxStringLength - 1);
    EXPECT_EQ(s.length(), kMaxStringLength);
    s += s;
    EXPECT_EQ(s.length(), kMaxStringLength);
    EXPECT_TRUE(s.OK());

    EXPECT_EQ(replicate('z', 100000).length(), kMaxStringLength);
    EXPECT_EQ(replicate(String("ab"), 40000).length(), kMaxStringLength);
    String big;
    big.alloc(100000);
    EXPECT_EQ(big.allocation(), kMaxStringLength);
    String limit(std::string(65530, 'l').c_str());
    limit.at(10, 1) = longer.c_str();
    EXPECT_EQ(limit.length(), kMaxStringLength);
    EXPECT_TRUE(limit.OK());
}

TEST(String, JoinsSplitsAndTokenizes) {
    String parts[4];
    EXPECT_EQ(split("a,,b", parts, 4, ","), 3);
    EXPECT_EQ(Text(parts[0]), "a");
    EXPECT_TRUE(parts[1].empty());
    EXPECT_EQ(Text(parts[2]), "b");
    EXPECT_EQ(split("a::b::", parts, 4, "::"), 3);
    EXPECT_TRUE(parts[2].empty());
    EXPECT_EQ(split("a,b,c,d,e", parts, 2, ","), 2);
    EXPECT_EQ(Text(parts[1]), "b");
    EXPECT_EQ(split("abc", parts, 4, ""), 1);
    EXPECT_EQ(Text(parts[0]), "abc");

    parts[0] = "p;q";
    parts[1] = ";";
    EXPECT_EQ(split(parts[0], parts, 4, parts[1]), 2) << "results may overwrite the arguments";
    EXPECT_EQ(Text(parts[1]), "q");

    EXPECT_EQ(tokenize("a,,b", parts, 4, ","), 2);
    EXPECT_EQ(Text(parts[1]), "b");
    EXPECT_EQ(tokenize("  x \t y  ", parts, 4, " \t"), 2);
    EXPECT_EQ(Text(parts[0]), "x");
    EXPECT_EQ(Text(parts[1]), "y");
    EXPECT_EQ(tokenize(",,,", parts, 4, ","), 0);

    String const words[] = {String("a"), String(), String("c")};
    EXPECT_EQ(Text(join(words, 3, ", ")), "a, , c");
    EXPECT_TRUE(join(words, 0, ",").empty());
    EXPECT_EQ(Text(replicate(String("ab"), 3)), "ababab");
    EXPECT_EQ(Text(replicate('-', 4)), "----");
    EXPECT_TRUE(replicate('-', -1).empty());

    EXPECT_EQ(Text(common_prefix("photograph", "photometry")), "photo");
    EXPECT_EQ(Text(common_prefix("xphoto", "yphone", 1)), "pho");
    EXPECT_EQ(Text(common_suffix("rectify", "identify")), "tify");
    EXPECT_EQ(Text(common_suffix("rectify.", "identify!", -2)), "tify");
    EXPECT_TRUE(common_suffix("a", "b").empty());
    EXPECT_TRUE(common_prefix("a", "a", 5).empty());
}

TEST(String, ReadsLines) {
    std::istringstream in("ab\ncd");
    String line;
    EXPECT_EQ(readline(in, line), 2);
    EXPECT_EQ(Text(line), "ab");
    EXPECT_FALSE(in.eof());
    EXPECT_EQ(readline(in, line), 2);
    EXPECT_EQ(Text(line), "cd");
    EXPECT_TRUE(in.eof());
    EXPECT_FALSE(in.fail());
    EXPECT_EQ(readline(in, line), 0);
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(in.fail());

    std::istringstream kept("x;y;");
    EXPECT_EQ(readline(kept, line, ';', 0), 2);
    EXPECT_EQ(Text(line), "x;");
    EXPECT_EQ(readline(kept, line, ';', 0), 2);
    EXPECT_EQ(readline(kept, line, ';', 0), 0);
    EXPECT_TRUE(kept.eof());
}

TEST(String, FormatsNumberedArguments) {
    String target;
    EXPECT_EQ(Sprintf(target, "%2-%1", String("A"), String("B")), 2);
    EXPECT_EQ(Text(target), "B-A");

    // Inserted text is skipped while replacing its own number, but a later
    // number is replaced wherever it appears by then.
    EXPECT_EQ(Sprintf(target, "%1 %1", String("%1%2"), String("z")), 4);
    EXPECT_EQ(Text(target), "%1z %1z");
    EXPECT_EQ(Sprintf(target, "[%1]", target), 1) << "the target may be an argument";
    EXPECT_EQ(Text(target), "[%1z %1z]");
    EXPECT_EQ(Sprintf(target, "%3%", String("a")), 1);
    EXPECT_EQ(Text(target), "%");

    std::ostringstream out;
    String s("abc");
    out << s << '|' << s.at(1, 1);
    EXPECT_EQ(out.str(), "abc|b");
}
