#include "foundation/KaIdTable.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Reads the braced entry IDS into a table and notes the token current after it.
template <class Table>
struct IdsReading : LinkHdl {
    Table table;
    int count = -1;
    eKaTokentype after = TokenOther;
    int errors = 0;
    int next = 0;

    long OnIds(void* arg) {
        auto* object = static_cast<KaReaderObject*>(arg);
        try {
            count = table.Read(object);
        } catch (KaParserStatus const&) {
            after = object->GetParser().GetToken().GetType();
            throw;
        }
        after = object->GetParser().GetToken().GetType();
        return 0;
    }

    void Run(std::istream& in) {
        KaReader reader(in, "ids.txt");
        Run(reader);
    }
    void Run(KaReader& reader) {
        KaReaderObject ids("IDS", Link(this, &IdsReading::OnIds));
        reader.RegisterObject(ids);
        KaReaderObject nextValue("NEXT", &next);
        reader.RegisterObject(nextValue);
        reader.DoProcess(true);
        errors = reader.GetReadErrorCount();
    }
    void Run(std::string const& text) {
        std::istringstream in(text);
        Run(in);
    }
};

std::string Field(std::string const& id) {
    return id + std::string(10 - id.size(), ' ');
}

} // namespace

TEST(KaIdTable, ReadsABracedList) {
    IdsReading<KaIdTable> r;
    r.Run("IDS { 1 2 3 }\nNEXT 5\n");
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.after, TokenEndBlock);
    ASSERT_EQ(r.table.Size(), 3);
    EXPECT_EQ(r.table[0], 1u);
    EXPECT_EQ(r.table[2], 3u);
    EXPECT_EQ(r.next, 5);
    EXPECT_EQ(r.errors, 0);

    IdsReading<KaIdTable> empty;
    empty.Run("IDS { }\nNEXT 5\n");
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.next, 5);
    EXPECT_EQ(empty.errors, 0);

    // Identifiers are unsigned 32-bit: -1 is the reserved temporary number.
    IdsReading<KaIdTable> large;
    large.Run("IDS { -1 4294967295 4000000000 }");
    ASSERT_EQ(large.table.Size(), 3);
    EXPECT_EQ(large.table[0], UINT_MAX);
    EXPECT_EQ(large.table[1], UINT_MAX);
    EXPECT_EQ(large.table[2], 4000000000u);
}

TEST(KaIdTable, ReportsABrokenList) {
    IdsReading<KaIdTable> word;
    word.Run("IDS { 1 x 3 }\nNEXT 5\n");
    EXPECT_EQ(word.table.Size(), 1);
    EXPECT_EQ(word.after, TokenKeyword);
    EXPECT_GE(word.errors, 1);

    IdsReading<KaIdTable> number;
    number.Run("IDS { 1 2.5 }\n");
    EXPECT_EQ(number.table.Size(), 1);
    EXPECT_GE(number.errors, 1);

    IdsReading<KaIdTable> open;
    open.Run("IDS { 1 2");
    EXPECT_EQ(open.table.Size(), 2);
    EXPECT_EQ(open.after, TokenEOF);
    EXPECT_GE(open.errors, 1);
}

TEST(KaIdTable, WritesTenIdentifiersALine) {
    KaWriterReset();
    KaIdTable table;
    std::string line;
    for (unsigned int id = 1; id <= 10; ++id) {
        table.Add(id);
        line += Field(std::to_string(id)) + ' ';
    }
    std::ostringstream ten;
    table.Write(ten);
    EXPECT_EQ(ten.str(), line + "\n\n");

    table.Add(UINT_MAX);
    std::ostringstream eleven;
    table.Write(eleven);
    EXPECT_EQ(eleven.str(), line + "\n" + Field("4294967295") + " \n");

    std::ostringstream none;
    KaIdTable().Write(none);
    EXPECT_EQ(none.str(), "\n");
}

TEST(KaIdPairTable, ReadsAndWritesPairs) {
    IdsReading<KaIdPairTable> r;
    r.Run("IDS { 1 2 3 4 }\nNEXT 5\n");
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(r.after, TokenEndBlock);
    EXPECT_EQ(r.table[1], KaIdPair(3, 4));
    EXPECT_EQ(r.next, 5);

    // A pair cut short by the brace is an error; the whole pairs stay.
    IdsReading<KaIdPairTable> odd;
    odd.Run("IDS { 1 2 3 }\n");
    EXPECT_EQ(odd.table.Size(), 1);
    EXPECT_GE(odd.errors, 1);

    KaWriterReset();
    KaIdPairTable table;
    std::string line;
    for (unsigned int i = 1; i <= 6; ++i) {
        table.Add(KaIdPair(i, 10 * i));
        if (i <= 5)
            line += Field(std::to_string(i)) + ' ' + Field(std::to_string(10 * i)) + "  ";
    }
    std::ostringstream os;
    table.Write(os);
    EXPECT_EQ(os.str(), line + "\n" + Field("6") + ' ' + Field("60") + "  \n");
}

TEST(KaIdTable, RoundTripsThroughAFile) {
    std::filesystem::path const dir = std::filesystem::temp_directory_path() / "tarvis_idtable_test";
    std::filesystem::create_directories(dir);
    std::filesystem::path const file = dir / "ids.txt";

    KaIdTable ids;
    for (unsigned int id = 0; id < 25; ++id)
        ids.Add(id * 1000003u);
    ids.Add(UINT_MAX);
    KaIdPairTable pairs;
    for (unsigned int id = 0; id < 12; ++id)
        pairs.Add(KaIdPair(id, UINT_MAX - id));
    {
        KaWriterReset();
        std::ofstream os(file);
        os << "IDS" << ' ' << KaBeginBlockNL;
        ids.Write(os);
        os << KaEndBlockNL << Kaendl << "PAIRS" << ' ' << KaBeginBlockNL;
        pairs.Write(os);
        os << KaEndBlockNL << Kaendl;
    }

    IdsReading<KaIdTable> r;
    KaIdPairTable pairsRead;
    {
        KaReader reader(file.string().c_str());
        KaReaderObject pairsObject("PAIRS", Link(&pairsRead, &KaIdPairTable::Read));
        reader.RegisterObject(pairsObject);
        r.Run(reader);
    }
    EXPECT_EQ(r.errors, 0);
    EXPECT_TRUE(r.table == ids);
    EXPECT_TRUE(pairsRead == pairs);
    std::filesystem::remove_all(dir);
}
