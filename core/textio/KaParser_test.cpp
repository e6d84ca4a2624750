#include "textio/KaParser.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

// Drives a parser over a text, as the reader does.
struct KaParserAccess {
    static void Next(KaParser& parser, std::istream& in) { parser.ParseForToken(in); }
};

namespace {

struct Tok {
    eKaTokentype type;
    std::string text;
    double value;
    bool operator==(Tok const&) const = default;
};

std::ostream& operator<<(std::ostream& os, Tok const& t) {
    return os << "{" << t.type << ", '" << t.text << "', " << t.value << "}";
}

// Every token of a text up to the end of input; a thrown status ends the list
// with a token of type TokenOther and the status code as value.
std::vector<Tok> Tokens(std::string const& text, char decPoint = '.') {
    std::istringstream in(text);
    KaParser parser;
    parser.SetDecPoint(decPoint);
    std::vector<Tok> out;
    for (;;) {
        try {
            KaParserAccess::Next(parser, in);
        } catch (KaParserStatus const& s) {
            out.push_back({TokenOther, "throw", static_cast<double>(s.GetStatus())});
            return out;
        }
        KaParserToken& t = parser.GetToken();
        if (t.GetType() == TokenEOF)
            return out;
        std::string const shown =
            t.GetType() == TokenBeginBlock || t.GetType() == TokenEndBlock ? "" : t.GetText();
        out.push_back({t.GetType(), shown, t.GetNumber()});
    }
}

} // namespace

TEST(KaParser, ClassifiesWords) {
    EXPECT_EQ(Tokens("12 -3.5 1e5 1.2.3 e5 x1 - +7 1e"), (std::vector<Tok>{{TokenInt, "12", 12},
                                                                           {TokenFloat, "-3.5", -3.5},
                                                                           {TokenFloat, "1e5", 1e5},
                                                                           {TokenFloat, "1.2.3", 1.2},
                                                                           {TokenKeyword, "e5", 0},
                                                                           {TokenKeyword, "x1", 0},
                                                                           {TokenOther, "-", 0},
                                                                           {TokenInt, "+7", 7},
                                                                           {TokenFloat, "1e", 1}}));
    EXPECT_EQ(Tokens("PHOTO{ \"a ; {b}\"}"), (std::vector<Tok>{{TokenKeyword, "PHOTO", 0},
                                                               {TokenBeginBlock, "", 0},
                                                               {TokenString, "a ; {b}", 0},
                                                               {TokenEndBlock, "", 0}}));
    EXPECT_EQ(Tokens("VALUE;x 1\nabc}\nNAME\"s\" ! note\n2"), (std::vector<Tok>{{TokenKeyword, "VALUE", 0},
                                                                                {TokenKeyword, "abc", 0},
                                                                                {TokenEndBlock, "", 0},
                                                                                {TokenKeyword, "NAME", 0},
                                                                                {TokenString, "s", 0},
                                                                                {TokenInt, "2", 2}}));
    // Integers wrap around in 32 bits as atol does on the original platform, but
    // taken as numbers they keep their value.
    std::istringstream big("4294967297 -2147483648");
    KaParser parser;
    KaParserAccess::Next(parser, big);
    EXPECT_EQ(parser.GetTokenInt(), 1);
    EXPECT_EQ(parser.GetTokenNumber(), 4294967297.0);
    KaParserAccess::Next(parser, big);
    EXPECT_EQ(parser.GetTokenInt(), INT32_MIN);
    EXPECT_EQ(parser.GetTokenNumber(), -2147483648.0);
    EXPECT_EQ(Tokens("1e999")[0].value, HUGE_VAL);
}

TEST(KaParser, InvalidWordsThrowWithTheirLine) {
    for (char const* word : {"1x", "-abc", "_NAME"}) {
        std::istringstream in(std::string("A 1\n\n") + word + "\n");
        KaParser parser;
        KaParserAccess::Next(parser, in);
        KaParserAccess::Next(parser, in);
        try {
            KaParserAccess::Next(parser, in);
            FAIL() << word;
        } catch (KaParserStatus const& s) {
            EXPECT_EQ(s.GetStatus(), ParserErrorInvalidNumber);
            EXPECT_EQ(s.GetLine(), 3);
            EXPECT_EQ(s.GetTokenNumber(), 2); // the offending word is not counted
        }
    }
    std::istringstream in("X 1\nNAME \"open\n");
    KaParser parser;
    try {
        for (;;)
            KaParserAccess::Next(parser, in);
    } catch (KaParserStatus const& s) {
        EXPECT_EQ(s.GetStatus(), ParserErrorUnterminatedString);
        EXPECT_EQ(s.GetLine(), 2);
    }
}

TEST(KaParser, EndOfInput) {
    std::istringstream empty("");
    KaParser parser;
    KaParserAccess::Next(parser, empty);
    EXPECT_EQ(parser.GetToken().GetType(), TokenEOF);
    EXPECT_EQ(parser.GetStatus().GetStatus(), ParserStatusEOF);
    // Every later advance stays at the end.
    KaParserAccess::Next(parser, empty);
    EXPECT_EQ(parser.GetToken().GetType(), TokenEOF);
    // A typed request at the end throws the end status, a number request a type error.
    try {
        parser.GetTokenInt();
        FAIL();
    } catch (KaParserStatus const& s) {
        EXPECT_EQ(s.GetStatus(), ParserStatusEOF);
    }
    try {
        parser.GetTokenNumber();
        FAIL();
    } catch (KaParserStatus const& s) {
        EXPECT_EQ(s.GetStatus(), ParserErrorNotSpecifiedToken);
    }

    // The last line needs no line feed.
    EXPECT_EQ(Tokens("A\nB"), (std::vector<Tok>{{TokenKeyword, "A", 0}, {TokenKeyword, "B", 0}}));
}

TEST(KaParser, TypedRequests) {
    std::istringstream in("3 2.5 \"s\" word");
    KaParser parser;
    KaParserAccess::Next(parser, in);
    EXPECT_EQ(parser.GetTokenInt(), 3);
    EXPECT_EQ(parser.GetTokenNumber(), 3.0);
    EXPECT_THROW(parser.GetTokenFloat(), KaParserStatus);
    EXPECT_EQ(parser.GetStatus().GetStatus(), ParserErrorNotSpecifiedToken);
    KaParserAccess::Next(parser, in);
    EXPECT_EQ(parser.GetTokenFloat(), 2.5);
    EXPECT_THROW(parser.GetTokenInt(), KaParserStatus);
    KaParserAccess::Next(parser, in);
    EXPECT_STREQ(parser.GetTokenString(), "s");
    KaParserAccess::Next(parser, in);
    EXPECT_THROW(parser.GetTokenString(), KaParserStatus); // strings must be quoted
}

TEST(KaParser, DecimalPointAndCharacterClasses) {
    EXPECT_EQ(Tokens("1,5 1.5", ','), (std::vector<Tok>{{TokenFloat, "1.5", 1.5}, {TokenInt, "1.5", 1}}));

    std::istringstream in("a#b 1|2 % c\n");
    KaParser parser;
    parser.SetCommentChar('%', true);
    parser.SetTokenseperator('|', true);
    std::vector<std::string> words;
    for (KaParserAccess::Next(parser, in); parser.GetToken().GetType() != TokenEOF;
         KaParserAccess::Next(parser, in))
        words.push_back(parser.GetToken().GetText());
    EXPECT_EQ(words, (std::vector<std::string>{"a#b", "1", "2"}));
}

TEST(KaParser, LineEndsAndLongLines) {
    // A carriage return before the line feed belongs to the line end; elsewhere it
    // is part of a word.
    auto const crlf = Tokens("A 1\r\nB\r\n");
    EXPECT_EQ(crlf, (std::vector<Tok>{{TokenKeyword, "A", 0}, {TokenInt, "1", 1}, {TokenKeyword, "B", 0}}));
    auto const lone = Tokens("A\rB\n");
    ASSERT_EQ(lone.size(), 1u);
    EXPECT_EQ(lone[0].text, "A\rB");

    // A line longer than the buffer: its first part is tokenized, then the stream fails.
    std::string line;
    while (line.size() < 9000)
        line += "1 ";
    auto const tokens = Tokens(line + "\nX\n");
    ASSERT_FALSE(tokens.empty());
    EXPECT_EQ(tokens.back(), (Tok{TokenOther, "throw", ParserErrorStream}));
    EXPECT_EQ(tokens.size(), (KaParser::LineSize - 1) / 2 + 1 + 1);

    // The carriage return of a line end does not count towards the line length.
    std::string const longest(KaParser::LineSize - 1, 'A');
    auto const fits = Tokens(longest + "\r\nB\r\n");
    ASSERT_EQ(fits.size(), 2u);
    EXPECT_EQ(fits[0].text, longest);
    EXPECT_EQ(fits[1].text, "B");
    auto const tooLong = Tokens(longest + "A\r\nB\r\n");
    ASSERT_EQ(tooLong.size(), 2u);
    EXPECT_EQ(tooLong[1], (Tok{TokenOther, "throw", ParserErrorStream}));
}

TEST(KaParser, SkipLineDropsThePendingDelimiter) {
    // The brace that ended "A" belongs to the skipped line, not to the next one.
    std::istringstream in("A{ B\nCD\n");
    KaParser parser;
    KaParserAccess::Next(parser, in);
    parser.SkipLine();
    KaParserAccess::Next(parser, in);
    EXPECT_EQ(parser.GetToken().GetType(), TokenKeyword);
    EXPECT_STREQ(parser.GetToken().GetText(), "CD");
    EXPECT_EQ(parser.GetStatus().GetLine(), 2);
    EXPECT_EQ(parser.GetStatus().GetTokenNumber(), 2);
}

TEST(KaParser, ConvertsNumbersAsTheCLibrary) {
    // Every word here is a number token; its value must be what atof or atol
    // give in the "C" locale, including odd signs and trailing garbage.
    std::setlocale(LC_ALL, "C");
    for (char const* word : {"+1.5", "+-1.5", "++1.5", "-+1.5", "+.5e-3", "-.5", "1.5.", "1..2", "12-e5",
                             "1e5e5", "1e+", "1E-5", "0.000", "1e-400", "-1e400", "2.5e-310", "1/2.5"}) {
        auto const t = Tokens(word);
        ASSERT_EQ(t.size(), 1u) << word;
        EXPECT_EQ(t[0].type, TokenFloat) << word;
        EXPECT_EQ(t[0].value, std::strtod(word, nullptr)) << word;
    }
    for (char const* word : {"+7", "-0", "1-2", "--5", "+-5", "2147483647", "-2147483647", "7/8"}) {
        auto const t = Tokens(word);
        ASSERT_EQ(t.size(), 1u) << word;
        EXPECT_EQ(t[0].type, TokenInt) << word;
        EXPECT_EQ(t[0].value, static_cast<double>(std::strtol(word, nullptr, 10))) << word;
    }
}

TEST(KaParser, CopyReadsItsOwnBuffer) {
    std::istringstream in("A B C\nD");
    KaParser parser;
    KaParserAccess::Next(parser, in);
    KaParser copy(parser);
    EXPECT_STREQ(copy.GetToken().GetText(), "A");
    EXPECT_NE(copy.GetToken().GetText(), parser.GetToken().GetText());
    KaParserAccess::Next(copy, in);
    EXPECT_STREQ(copy.GetToken().GetText(), "B");
    EXPECT_STREQ(parser.GetToken().GetText(), "A");
}

TEST(KaParser, NumbersIgnoreTheProcessLocale) {
    // Another part of the process may install a comma-decimal locale while a parser lives.
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    std::istringstream in("2.5 7");
    KaParser parser;
    std::locale const previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
    KaParserAccess::Next(parser, in);
    EXPECT_EQ(parser.GetTokenFloat(), 2.5);
    std::locale::global(previous);

    // The guard restores the locale it found.
    std::setlocale(LC_ALL, "C");
    { KaCLocale guard(LC_NUMERIC, "C.UTF-8"); }
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_STREQ(GetKaParserStatusText(static_cast<eKaParserStatus>(9)), "ParserStatus??");
    EXPECT_STREQ(GetKaParserStatusText(ParserErrorStream), "ParserErrorStream");
}

TEST(KaParser, NumbersIgnoreACommaDecimalCLocale) {
    std::istringstream in("2.5 1,5 1e3");
    KaParser parser;
    // Switched while the parser lives, behind the parser's own guard.
    char const* comma = nullptr;
    for (char const* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = name;
            break;
        }
    }
    if (!comma)
        GTEST_SKIP() << "no comma-decimal locale installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    KaParserAccess::Next(parser, in);
    EXPECT_EQ(parser.GetTokenFloat(), 2.5);
    KaParserAccess::Next(parser, in);
    EXPECT_EQ(parser.GetTokenInt(), 1);
    KaParserAccess::Next(parser, in);
    EXPECT_EQ(parser.GetTokenFloat(), 1000.0);
    std::setlocale(LC_NUMERIC, "C");
}
