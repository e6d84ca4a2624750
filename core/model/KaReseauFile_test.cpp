#include "model/KaReseauFile.h"

#include "textio/KaFileName.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string const DataDir = TARVIS_TEST_DATA_DIR;

std::string Slurp(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ReseauFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("tarvis_reseau_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Put(std::string const& name, std::string const& text) const {
        std::string const path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::filesystem::path dir;
};

std::string WriteReseau(KaReseauFile const& file) {
    std::ostringstream os;
    KaReseauFile::WriteHeaderComment(os);
    file.Write(os);
    return os.str();
}

} // namespace

TEST_F(ReseauFiles, ReseauFileReadsAndWritesBackByteForByte) {
    std::string const sample = DataDir + "/reseau_six.res";
    KaReseauFile file{String(sample.c_str())};
    ASSERT_TRUE(file.IsValid());
    EXPECT_STREQ(file.GetName().chars(), "reseau_six.res");
    EXPECT_STREQ(file.GetComment().chars(), "Handmade reseau, 6 crosses");
    EXPECT_EQ(file.GetPhotoRegion().Left(), -30.0);
    EXPECT_EQ(file.GetPhotoRegion().Right(), 30.0);
    ASSERT_EQ(file.GetCrossList().Count(), 6);
    KaPoint const* fourth = file.GetCrossList().Find(4u);
    ASSERT_NE(fourth, nullptr);
    EXPECT_EQ(fourth->x, -20.125);
    EXPECT_EQ(fourth->y, -19.875);
    EXPECT_EQ(file.GetCrossList().Find(6u)->controlFlags, 2);
    EXPECT_EQ(file.GetCrossList().Find(1u)->controlFlags, 1);

    EXPECT_EQ(WriteReseau(file), Slurp(sample));

    // A double quote in the comment cannot end the string early.
    KaReseauFile quoted(file);
    quoted.SetComment("the \"big\" one");
    std::string const path = Put("quoted.res", WriteReseau(quoted));
    KaReseauFile back{String(path.c_str())};
    EXPECT_STREQ(back.GetComment().chars(), "the 'big' one");
    EXPECT_EQ(back.GetCrossList().Count(), 6);

    // Reading again into the same object starts afresh.
    file.ReadFile(String(sample.c_str()));
    EXPECT_EQ(file.GetCrossList().Count(), 6);
}

TEST_F(ReseauFiles, BrokenReseauFiles) {
    // Ends before the box region: invalid, and the list stays as it was.
    std::string const cut = Put("cut.res", "\"cut\" { -30 -30 30 30 }\n");
    KaReseaufileList list;
    EXPECT_FALSE(list.ReadReseauFile(String(cut.c_str())));
    EXPECT_EQ(list.Count(), 0);

    // A wrong token inside the crosses keeps the crosses before it.
    std::string const bad = Put("bad.res", "\"bad\" { -30 -30 30 30 } { 5 -30 30 -26.5 }\n"
                                           "{ 1 -20 20 1 }\n{ 2 zero 20 0 }\n{ 3 20 20 1 }\n");
    KaReseauFile file{String(bad.c_str())};
    EXPECT_TRUE(file.IsValid());
    EXPECT_EQ(file.GetCrossList().Count(), 1);

    // Missing, empty and foreign files are no reseau files.
    EXPECT_FALSE(list.ReadReseauFile(String((dir / "missing.res").c_str())));
    EXPECT_FALSE(list.ReadReseauFile(String(Put("empty.res", "").c_str())));
    EXPECT_FALSE(list.ReadReseauFile(String(Put("points.coo", "1 2 3\n").c_str())));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ReseauFiles, ReadingAgainReplacesTheEntryOfTheSameName) {
    KaReseaufileList list;
    std::string const first = Put("abc.res", "\"first\" { -30 -30 30 30 } { 5 -30 30 -26.5 } { 1 0 0 0 }\n");
    ASSERT_TRUE(list.ReadReseauFile(String(first.c_str())));
    std::filesystem::create_directories(dir / "other");
    std::string const second =
        Put("other/ABC.RES", "\"second\" { -30 -30 30 30 } { 5 -30 30 -26.5 } { 1 0 0 0 } { 2 1 1 0 }\n");
    ASSERT_TRUE(list.ReadReseauFile(String(second.c_str())));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_STREQ(list.First()->GetComment().chars(), "second");
    EXPECT_EQ(list.First()->GetCrossList().Count(), 2);

    // The list's lookup needs the exact sub-id; the descriptor's == only when one is given.
    EXPECT_EQ(list.FindReseauFile(KaReseauDataDesc("abc.res", 0)), list.First());
    EXPECT_EQ(list.FindReseauFile(KaReseauDataDesc("abc.res", 1)), nullptr);
}

TEST_F(ReseauFiles, DigitalCameraFile) {
    KaReseaufileList list;
    ASSERT_TRUE(list.ReadReseauFile(String((DataDir + "/reseau_cameras.dres").c_str())));
    ASSERT_EQ(list.Count(), 3);
    KaReseauFile const* full = list.FindReseauFile(KaReseauDataDesc("x1", 1));
    ASSERT_NE(full, nullptr);
    EXPECT_STREQ(full->GetComment().chars(), "Full frame");
    EXPECT_EQ(full->GetExifPixelWidth(), 6000);
    EXPECT_EQ(full->GetExifPixelHeight(), 4000);
    EXPECT_DOUBLE_EQ(full->GetPhotoRegion().Left(), -18.9);
    EXPECT_DOUBLE_EQ(full->GetPhotoRegion().Bottom(), -12.6);
    EXPECT_DOUBLE_EQ(full->GetPhotoRegion().Right(), 18.9);
    EXPECT_DOUBLE_EQ(full->GetPhotoRegion().Top(), 12.6);
    ASSERT_EQ(full->GetCrossList().Count(), 4);
    unsigned int const ids[] = {11, 12, 21, 22};
    double const xs[] = {-18, 18, -18, 18};
    double const ys[] = {12, 12, -12, -12};
    int i = 0;
    for (KaPoint const* c = full->GetCrossList().First(); c; c = c->Next(), ++i) {
        EXPECT_EQ(c->GetId(), ids[i]);
        EXPECT_EQ(c->x, xs[i]);
        EXPECT_EQ(c->y, ys[i]);
        EXPECT_EQ(c->controlFlags, 2);
    }
    // Every entry gets its own number.
    EXPECT_NE(list.First()->GetId(), list.Last()->GetId());
    EXPECT_STREQ(full->GetDescName().chars(), "X1 (1) 6000 * 4000 Pixel");

    // Written back, the file is the same; a nine-cross reseau is left out.
    KaReseauFile dummy;
    dummy.GenerateDummyData();
    list.Add(dummy);
    std::string const out = (dir / "out.dres").string();
    ASSERT_TRUE(list.WriteDigitalCameraFormat(String(out.c_str())));
    EXPECT_EQ(Slurp(out), Slurp(DataDir + "/reseau_cameras.dres"));
    EXPECT_FALSE(list.WriteDigitalCameraFormat(String((dir / "no/such/folder.dres").c_str())));

    // An entry that breaks off is not added.
    KaReseaufileList cut;
    EXPECT_TRUE(cut.ReadReseauFile(
        String(Put("cut.dres", "{ \"A\" 0 \"ok\" 10 10 1 1 }\n{ \"B\" 0 \"cut\" 10").c_str())));
    EXPECT_EQ(cut.Count(), 1);
}

TEST(KaReseauFile, SetDummyDataAndNames) {
    KaReseauFile entry;
    EXPECT_FALSE(entry.Set("X1", "no sensor", 3000, 2000, 0.0, 24.0));
    EXPECT_FALSE(entry.IsValid());
    EXPECT_EQ(entry.GetCrossList().Count(), 0);
    EXPECT_EQ(entry.GetExifPixelWidth(), 3000);

    entry.SetSubId(2);
    ASSERT_TRUE(entry.Set("X1", "ok", 0, 0, 36.0, 24.0));
    EXPECT_STREQ(entry.GetDescName().chars(), "X1 (2)");
    EXPECT_DOUBLE_EQ(entry.GetBoxRegion().Left(), 18.9 / 6);
    EXPECT_DOUBLE_EQ(entry.GetBoxRegion().Top(), -12.6 * 5 / 6);
    std::ostringstream line;
    entry.WriteDigitalCameraFormat(line);
    EXPECT_EQ(
        line.str(),
        "{  \"X1\"                   2  \"ok\"                       0         0        36        24  }\n");

    KaReseauFile dummy;
    dummy.GenerateDummyData();
    EXPECT_TRUE(dummy.IsValid());
    EXPECT_STREQ(dummy.GetName().chars(), ">>DUMMY DATA<<");
    EXPECT_EQ(dummy.GetCrossList().Count(), 9);
    EXPECT_EQ(dummy.GetCrossList().Find(57u)->x, 15.0);
    std::ostringstream nothing;
    dummy.WriteDigitalCameraFormat(nothing);
    EXPECT_TRUE(nothing.str().empty());
    entry.GenerateDummyData(); // valid already: unchanged
    EXPECT_EQ(entry.GetCrossList().Count(), 4);

    unsigned int ul = 0, lr = 0;
    ASSERT_TRUE(dummy.FindCrossId(ul, lr));
    EXPECT_EQ(ul, 11u);
    EXPECT_EQ(lr, 57u);
    KaReseauFile empty;
    ul = lr = 7;
    EXPECT_FALSE(empty.FindCrossId(ul, lr));
    EXPECT_EQ(ul, 7u);

    // Selection: the ids found are selected, the rest cleared; no ids change nothing.
    unsigned int const pick[] = {14, 34, 99};
    EXPECT_EQ(dummy.SelectCross(pick, 3), 2);
    unsigned int got[9] = {};
    EXPECT_EQ(dummy.FindUserSelectedCrosses(got, 9), 2);
    EXPECT_EQ(got[0], 14u);
    EXPECT_EQ(got[1], 34u);
    EXPECT_EQ(dummy.FindUserSelectedCrosses(got, 1), 1);
    EXPECT_EQ(dummy.SelectCross(pick, 0), 0);
    EXPECT_EQ(dummy.FindUserSelectedCrosses(got, 9), 2);

    // Copies are deep.
    KaReseauFile copy(dummy);
    copy.GetCrossList().First()->x = 1000.0;
    EXPECT_EQ(dummy.GetCrossList().First()->x, -15.0);
}

TEST(KaReseauDataDesc, Matching) {
    KaReseauDataDesc const abc("abc.res", 0);
    KaReseauDataDesc const ABC2("ABC.RES", 2);
    EXPECT_TRUE(abc.Match(ABC2));
    EXPECT_FALSE(abc.ExactMatch(ABC2));
    EXPECT_TRUE(ABC2 == abc);  // no sub-id on the right: names only
    EXPECT_FALSE(abc == ABC2); // a sub-id on the right must match
    EXPECT_FALSE(abc.Match(KaReseauDataDesc("abd.res", 0)));
    KaReseauDataDesc none(static_cast<KaReseauFile const*>(nullptr));
    EXPECT_STREQ(none.GetName().chars(), "");
}
