#include "textio/KaReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The statuses and lines of a reader's error list, in order.
std::vector<std::pair<int, int>> Errors(KaReader const& reader) {
    std::vector<std::pair<int, int>> out;
    for (KaReaderError* e = reader.GetReaderErrorList()->First(); e; e = e->Next())
        out.emplace_back(static_cast<int>(e->GetStatus()), e->GetLine());
    return out;
}

using ErrorList = std::vector<std::pair<int, int>>;

// Records what the handlers saw.
class Recorder : public LinkHdl {
public:
    std::vector<std::string> calls;
    std::vector<double> numbers;
    int inner = 0;

    // A braced entry that reads its own keywords.
    long OnBlock(void* arg) {
        auto* object = static_cast<KaReaderObject*>(arg);
        calls.push_back(std::string("block:") + TokenName(object));
        KaReaderObject innerValue("INNER", &inner);
        object->RegisterObject(innerValue);
        KaReaderObject nested("NESTED", Link(this, &Recorder::OnBlock));
        object->RegisterObject(nested);
        object->DoProcess();
        return 0;
    }

    // A braced entry holding a plain list of numbers.
    long OnList(void* arg) {
        auto* object = static_cast<KaReaderObject*>(arg);
        KaStreamParser in = object->GetStreamParser();
        try {
            for (;;)
                numbers.push_back(in.GetNumber());
        } catch (KaParserStatus const&) {
            if (object->GetParser().GetToken().GetType() != TokenEndBlock)
                throw;
        }
        return 0;
    }

    // Catch-all of a list file: numbers until the end of the input.
    long OnValues(void* arg) { return OnList(arg); }

    long OnEmpty(void* arg) {
        auto* object = static_cast<KaReaderObject*>(arg);
        calls.push_back(std::string("empty:") + TokenName(object));
        return 0;
    }

    static std::string TokenName(KaReaderObject* object) {
        return object->GetParser().GetToken().GetType() == TokenEndBlock ? "}" : "first";
    }
};

struct Reading {
    std::istringstream in;
    KaReader reader;
    explicit Reading(std::string const& text) : in(text), reader(in, "test.txt") {}
};

} // namespace

TEST(KaReader, StoresPlainValues) {
    Reading r("NUMBER 42\nFLAG 7\nOFF 0\nSCALE 2.5\nWHOLE 3\nNAME \"a b\" ; comment\n");
    int number = 0;
    bool flag = false, off = true;
    double scale = 0, whole = 0;
    String name;
    KaReaderObject o1("NUMBER", &number), o2("FLAG", &flag), o3("OFF", &off), o4("SCALE", &scale),
        o5("WHOLE", &whole), o6("NAME", &name);
    for (KaReaderObject* o : {&o1, &o2, &o3, &o4, &o5, &o6})
        r.reader.RegisterObject(*o);
    EXPECT_EQ(r.reader.DoProcess(true), 1);
    EXPECT_EQ(number, 42);
    EXPECT_TRUE(flag);
    EXPECT_FALSE(off);
    EXPECT_EQ(scale, 2.5);
    EXPECT_EQ(whole, 3.0);
    EXPECT_STREQ(name.chars(), "a b");
    EXPECT_EQ(r.reader.GetReadErrorCount(), 0);
}

TEST(KaReader, TypeErrorsAreRecordedWithTheirLine) {
    // A real number for an integer target ends the reading and stays in the list.
    Reading r("NUMBER 1\n\nNUMBER 1.0\nNUMBER 5\n");
    int number = 0;
    KaReaderObject object("NUMBER", &number);
    r.reader.RegisterObject(object);
    r.reader.DoProcess(true);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(Errors(r.reader), (ErrorList{{ParserErrorNotSpecifiedToken, 3}}));

    // A top-level value with no catch-all object is an error too.
    Reading lone("NUMBER 1\n17\n");
    lone.reader.RegisterObject(object);
    lone.reader.DoProcess(true);
    EXPECT_EQ(Errors(lone.reader), (ErrorList{{ParserErrorNotSpecifiedToken, 2}}));

    // A reader that goes on after errors keeps a wrong value in the last entry,
    // although the input ends right after it.
    struct GoOn : LinkHdl {
        long Again(void*) { return 1; }
    } goOn;
    Reading last("NUMBER 1\nNUMBER \"x\"\n");
    last.reader.SetParserErrorHdl(Link(&goOn, &GoOn::Again));
    last.reader.RegisterObject(object);
    last.reader.DoProcess(true);
    EXPECT_EQ(Errors(last.reader), (ErrorList{{ParserErrorNotSpecifiedToken, 2}}));
}

TEST(KaReader, EmptyAndMissingFiles) {
    Reading empty("");
    EXPECT_EQ(empty.reader.DoProcess(true), 1);
    EXPECT_EQ(empty.reader.GetReadErrorCount(), 0);

    Reading comments("; only a comment\n\n   \n");
    comments.reader.DoProcess(true);
    EXPECT_EQ(comments.reader.GetReadErrorCount(), 0);

    KaReader missing(String("/nonexistent/folder/file.pro"));
    missing.DoProcess(true);
    EXPECT_EQ(Errors(missing), (ErrorList{{ParserErrorStream, 0}}));
    // A second run does not start again on a failed stream.
    missing.DoProcess(true);
    EXPECT_EQ(missing.GetReadErrorCount(), 1);
}

TEST(KaReader, SkipsUnknownKeywordsWithTheirValueOrBlock) {
    Reading r("UNKNOWN 5 KNOWN 1\nOTHER {\n A 1 { B 2 }\n}\nKNOWN 2 LAST 3\n");
    int known = 0, last = 0;
    KaReaderObject o1("KNOWN", &known), o2("LAST", &last);
    r.reader.RegisterObject(o1);
    r.reader.RegisterObject(o2);
    r.reader.DoProcess(true);
    EXPECT_EQ(known, 2);
    EXPECT_EQ(last, 3);
    // The skipped block is visible as one entry at the line of its brace.
    EXPECT_EQ(Errors(r.reader), (ErrorList{{ParserStatusOK, 2}}));

    Reading open("OTHER { A { B\n");
    open.reader.DoProcess(true);
    EXPECT_EQ(Errors(open.reader), (ErrorList{{ParserStatusOK, 1}}));
}

TEST(KaReader, UnknownKeywordHandlerWhenNotSkipping) {
    struct Counter : LinkHdl {
        int calls = 0;
        long Hit(void*) { return ++calls < 2; }
    } counter;
    Reading r("A B C");
    r.reader.SkipUnknownToken(false);
    r.reader.SetUnknownTokenHdl(Link(&counter, &Counter::Hit));
    r.reader.DoProcess(true);
    EXPECT_EQ(counter.calls, 2);
}

TEST(KaReader, NestedScopes) {
    Reading r("BLOCK {\n INNER 4\n NESTED { INNER 5 }\n}\nINNER 9\nBLOCK { }\n");
    Recorder rec;
    KaReaderObject block("BLOCK", Link(&rec, &Recorder::OnBlock));
    KaReaderObject twice("BLOCK", Link(&rec, &Recorder::OnEmpty));
    r.reader.RegisterObject(block);
    r.reader.RegisterObject(twice); // the first registration wins
    r.reader.DoProcess(true);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"block:first", "block:first", "block:}"}));
    // INNER is known only inside the blocks: the top-level one is skipped.
    EXPECT_EQ(rec.inner, 5);
    EXPECT_EQ(r.reader.GetReadErrorCount(), 0);
}

TEST(KaReader, BlockOfValuesAndEmptyBlock) {
    Reading r("LIST { 1 2.5\n-3 }\nEMPTY { }\nLIST { }");
    Recorder rec;
    KaReaderObject list("LIST", Link(&rec, &Recorder::OnList));
    KaReaderObject empty("EMPTY", Link(&rec, &Recorder::OnEmpty));
    r.reader.RegisterObject(list);
    r.reader.RegisterObject(empty);
    r.reader.DoProcess(true);
    EXPECT_EQ(rec.numbers, (std::vector<double>{1, 2.5, -3}));
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"empty:}"}));
    EXPECT_EQ(r.reader.GetReadErrorCount(), 0);
}

TEST(KaReader, EndOfInputInsideABlockIsReported) {
    // Truncated inside a nested block: one end-of-input entry at the last line.
    Reading r("BLOCK {\n INNER 4\n NESTED { INNER 5\n\n");
    Recorder rec;
    KaReaderObject block("BLOCK", Link(&rec, &Recorder::OnBlock));
    r.reader.RegisterObject(block);
    r.reader.DoProcess(true);
    EXPECT_EQ(rec.inner, 5);
    EXPECT_EQ(Errors(r.reader), (ErrorList{{ParserStatusEOF, 4}}));

    // A list block cut off in the middle of its values.
    Reading cut("LIST { 1 2\n3");
    KaReaderObject list("LIST", Link(&rec, &Recorder::OnList));
    cut.reader.RegisterObject(list);
    cut.reader.DoProcess(true);
    EXPECT_EQ(Errors(cut.reader), (ErrorList{{ParserStatusEOF, 2}}));
}

TEST(KaReader, ListFileWithCatchAll) {
    Recorder rec;
    KaReaderObject values{Link(&rec, &Recorder::OnValues)};

    Reading r("1 2 3\n4.5 5\n");
    r.reader.RegisterObject(values);
    r.reader.DoProcess(false);
    EXPECT_EQ(rec.numbers, (std::vector<double>{1, 2, 3, 4.5, 5}));
    EXPECT_EQ(r.reader.GetReadErrorCount(), 0);

    // A wrong token in the middle is not swallowed: the numbers before it stay read.
    rec.numbers.clear();
    Reading bad("1 2\n3 x4 5\n");
    bad.reader.RegisterObject(values);
    bad.reader.DoProcess(false);
    EXPECT_EQ(rec.numbers, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(Errors(bad.reader), (ErrorList{{ParserErrorNotSpecifiedToken, 2}}));
}

TEST(KaReader, TokenizerErrorsAreRecorded) {
    Reading r("NAME \"open\nNUMBER 3\n");
    String name;
    int number = 0;
    KaReaderObject o1("NAME", &name), o2("NUMBER", &number);
    r.reader.RegisterObject(o1);
    r.reader.RegisterObject(o2);
    r.reader.DoProcess(true);
    EXPECT_EQ(Errors(r.reader), (ErrorList{{ParserErrorUnterminatedString, 1}}));

    // A parser-error handler that asks to go on lets the reading continue.
    struct GoOn : LinkHdl {
        long Hit(void*) { return 1; }
    } goOn;
    Reading again("NAME \"open\nNUMBER 3\n");
    again.reader.RegisterObject(o1);
    again.reader.RegisterObject(o2);
    again.reader.SetParserErrorHdl(Link(&goOn, &GoOn::Hit));
    again.reader.DoProcess(true);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(again.reader.GetReadErrorCount(), 1);
}

TEST(KaReader, ReadsRealFilesWithCarriageReturns) {
    auto const path = std::filesystem::temp_directory_path() / "tarvis_reader_test.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "NUMBER 12\r\nNAME \"x\"\r\n";
    }
    int number = 0;
    String name;
    KaReader reader(String(path.string().c_str()));
    KaReaderObject o1("NUMBER", &number), o2("NAME", &name);
    reader.RegisterObject(o1);
    reader.RegisterObject(o2);
    reader.DoProcess(true);
    EXPECT_EQ(number, 12);
    EXPECT_STREQ(name.chars(), "x");
    EXPECT_EQ(reader.GetReadErrorCount(), 0);
    std::filesystem::remove(path);
}

TEST(KaReaderObject, KeywordFieldAndCopies) {
    int value = 0;
    std::string const longKeyword(40, 'K');
    KaReaderObject object(longKeyword.c_str(), &value);
    EXPECT_EQ(std::string(object.GetKeyword()), std::string(29, 'K'));
    EXPECT_TRUE(object.IsKeyword(std::string(29, 'K').c_str()));
    KaReaderObject copy(object);
    EXPECT_TRUE(copy.IsKeyword(object.GetKeyword()));
    EXPECT_EQ(copy.GetKind(), TokenInt);

    struct Ends : LinkHdl {
        int count = 0;
        long End(void*) { return ++count; }
    } ends;
    {
        KaReaderObject withEnd("X", Link(), Link(&ends, &Ends::End));
        Reading r("X 1");
        r.reader.RegisterObject(withEnd);
    }
    // Once for the caller's object and once for the registered copy.
    EXPECT_EQ(ends.count, 2);
}

TEST(TKaFormatTable, Operations) {
    static int const codes[] = {3, 1, 2, 0, 9};
    TKaFormatTable<int> table(codes);
    EXPECT_EQ(table.Size(), 3);
    EXPECT_EQ(table[0], 3);
    EXPECT_EQ(table[3], 0);
    EXPECT_EQ(table[-1], 0);
    EXPECT_EQ(table.HasEntry(2), 2);
    EXPECT_EQ(table.HasEntry(9), -1);
    table = static_cast<int const*>(nullptr);
    EXPECT_EQ(table.Size(), 0);
    EXPECT_EQ(table.HasEntry(3), -1);
}

TEST(KaObject, ReadsAndWritesItsRecord) {
    KaObject object;
    Reading r("OBJECT { 12 \"Photo 1\" }\n");
    // A handler taking the reader object as a typed pointer binds directly.
    KaReaderObject entry("OBJECT", Link(&object, &KaObject::Read));
    r.reader.RegisterObject(entry);
    r.reader.DoProcess(true);
    EXPECT_EQ(r.reader.GetReadErrorCount(), 0);
    EXPECT_EQ(object.GetId(), 12u);
    EXPECT_STREQ(object.GetName().chars(), "Photo 1");

    std::ostringstream out;
    object.Write(out);
    EXPECT_EQ(out.str(), "   12 \"Photo 1\"");
}

TEST(KaReader, NoExceptionEscapes) {
    struct Thrower : LinkHdl {
        long Throw(void*) { throw 11; }
    } thrower;
    Reading r("A { 1 }\nB 2\n");
    KaReaderObject a("A", Link(&thrower, &Thrower::Throw));
    r.reader.RegisterObject(a);
    EXPECT_NO_THROW(r.reader.DoProcess(true));
    EXPECT_EQ(Errors(r.reader), (ErrorList{{ParserErrorNotSpecifiedToken, 1}}));
}

TEST(KaReader, SurvivesArbitraryInput) {
    // Random mixtures of the characters that matter to the grammar; the sanitizer
    // build checks that nothing reads or writes out of bounds.
    char const alphabet[] = "AB{}\"; !\n\r\t12.e-+x_,\xB5";
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    Recorder rec;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        int const length = static_cast<int>(next() % 200);
        for (int i = 0; i < length; ++i)
            text += alphabet[next() % (sizeof alphabet - 1)];
        Reading r(text);
        int value = 0;
        KaReaderObject a("A", Link(&rec, &Recorder::OnBlock)), b("B", &value),
            all{Link(&rec, &Recorder::OnValues)};
        r.reader.RegisterObject(a);
        r.reader.RegisterObject(b);
        if (round % 2)
            r.reader.RegisterObject(all);
        EXPECT_NO_THROW(r.reader.DoProcess(round % 3 == 0));
    }
}
