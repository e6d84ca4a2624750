#include "model/KaCamera.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>
#include <string>

namespace {

std::string const kDataDir = TARVIS_TEST_DATA_DIR;

std::string FileText(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The three cameras of camera_layout.cam; each value is exact at 8 digits.
void FillLayoutCameras(KaCameraList& list) {
    list.Add(new KaCamera(1, 152.1, 0.01, -0.02, -3.2e-06, 1.5e-10, 70, "SVK 10/1318"));
    list.Add(new KaCamera(2, 100, 0, 0, 0, 0, 0, "Square 6x6 \xB5m-Reseau"));
    list.Add(new KaCamera(17, 45.123457, -0.125, 0.25, 1.2345678e-05, -2e-09, 20.5, "R\xE9seau wide angle"));
}

void ExpectSameCameras(KaCameraList const& a, KaCameraList const& b) {
    ASSERT_EQ(a.Count(), b.Count());
    for (KaCamera const *p = a.First(), *q = b.First(); p && q; p = p->Next(), q = q->Next()) {
        SCOPED_TRACE(p->GetId());
        EXPECT_EQ(p->GetId(), q->GetId());
        EXPECT_EQ(p->GetC(), q->GetC());
        EXPECT_EQ(p->GetXh(), q->GetXh());
        EXPECT_EQ(p->GetYh(), q->GetYh());
        EXPECT_EQ(p->GetA1(), q->GetA1());
        EXPECT_EQ(p->GetA2(), q->GetA2());
        EXPECT_EQ(p->GetR0(), q->GetR0());
        EXPECT_EQ(std::string(p->GetInfo()), std::string(q->GetInfo()));
    }
}

// A comma as decimal point, to show that writing does not depend on the global locale.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

class CameraFiles : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarvis_camera_test";
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Path(char const* name) const { return (dir / name).string(); }
    int FilesInDir() const {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
    }
};

} // namespace

TEST(KaCamera, ValuesAndValidity) {
    KaCamera none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.GetC(), 0.0);
    EXPECT_TRUE(none.GetInfo().empty());

    KaCamera cam(3, 152.1, 0.01, -0.02, 1e-5, 2e-9, 60, "SVK");
    EXPECT_TRUE(cam.IsValid());
    cam.SetFlag(0x4);
    unsigned int id = 0;
    double C, Xh, Yh, A1, A2, R0;
    char info[16];
    cam.Get(id, C, Xh, Yh, A1, A2, R0, info);
    EXPECT_EQ(id, 3u);
    EXPECT_EQ(C, 152.1);
    EXPECT_EQ(Xh, 0.01);
    EXPECT_EQ(Yh, -0.02);
    EXPECT_EQ(A1, 1e-5);
    EXPECT_EQ(A2, 2e-9);
    EXPECT_EQ(R0, 60.0);
    EXPECT_STREQ(info, "SVK");
    cam.Get(id, C, Xh, Yh, A1, A2, R0, nullptr); // no info wanted

    EXPECT_EQ(cam.SetC(0.0), 0.0);
    EXPECT_FALSE(cam.IsValid());
    EXPECT_EQ(cam.SetR0(-1.5), -1.5);

    // Assignment copies number, info and values, but keeps the target's flags.
    KaCamera other(9, 85, 0, 0, 0, 0, 0, nullptr);
    other.SetFlag(0x1);
    other = cam;
    EXPECT_EQ(other.GetId(), 3u);
    EXPECT_EQ(other.GetR0(), -1.5);
    EXPECT_EQ(std::string(other.GetInfo()), "SVK");
    EXPECT_EQ(other.GetFlag(), 0x1);
    other.Set(cam);
    EXPECT_EQ(other.GetFlag(), 0x1);
}

TEST(KaCamera, AdjustReducesToThePrincipalPoint) {
    KaCamera cam(1, 152.1, 0.01, -0.02, 0, 0, 0, "");
    double x = 10, y = 10;
    EXPECT_TRUE(cam.Adjust(&x, &y));
    EXPECT_DOUBLE_EQ(x, 9.99);
    EXPECT_DOUBLE_EQ(y, 10.02);

    // At the principal point itself nothing is distorted, even with R0 != 0,
    // where Calcd would give a nonzero value.
    KaCamera distorting(2, 152.1, 0.5, -0.25, 1e-5, 1e-9, 50, "");
    EXPECT_EQ(distorting.Calcdr(0, 0), 0.0);
    EXPECT_NE(distorting.Calcd(0, 0), 0.0);
    x = 0.5, y = -0.25;
    EXPECT_TRUE(distorting.Adjust(&x, &y));
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);

    // Both distortion formulas agree away from the centre; zero on the R0 circle.
    for (double r : {1.0, 25.0, 70.0, 120.0})
        EXPECT_NEAR(distorting.Calcd(r * 0.6, r * 0.8), distorting.Calcdr(r * 0.6, r * 0.8), 1e-12);
    EXPECT_NEAR(distorting.Calcdr(30, 40), 0.0, 1e-15);
    EXPECT_NEAR(distorting.Calcdr(60, 80), 1e-5 * (1e4 - 2500) + 1e-9 * (1e8 - 6.25e6), 1e-15);

    // A camera numbered 0 changes nothing.
    KaCamera none(0, 152.1, 0.01, -0.02, 1e-5, 0, 0, "");
    x = 10, y = 10;
    EXPECT_FALSE(none.Adjust(&x, &y));
    EXPECT_FALSE(none.InvAdjust(&x, &y));
    EXPECT_EQ(x, 10.0);
    EXPECT_EQ(y, 10.0);
}

TEST(KaCamera, InvAdjustUndoesAdjust) {
    // Without distortion the first step already agrees (s = 0).
    KaCamera shift(1, 152.1, 0.01, -0.02, 0, 0, 0, "");
    double x = 9.99, y = 10.02;
    EXPECT_TRUE(shift.InvAdjust(&x, &y));
    EXPECT_DOUBLE_EQ(x, 10.0);
    EXPECT_DOUBLE_EQ(y, 10.0);

    // A realistic radial distortion around a centred principal point.
    KaCamera cam(2, 152.1, 0, 0, -3.2e-6, 1.5e-10, 70, "");
    for (auto [px, py] : {std::pair{10.0, 10.0}, {-80.0, 45.0}, {0.0, -110.0}, {0.0, 0.0}}) {
        double ax = px, ay = py;
        ASSERT_TRUE(cam.Adjust(&ax, &ay));
        ASSERT_TRUE(cam.InvAdjust(&ax, &ay)) << px << ", " << py;
        EXPECT_NEAR(ax, px, 1e-8);
        EXPECT_NEAR(ay, py, 1e-8);
    }
}

TEST(KaCamera, InvAdjustGivesUpAfter25Steps) {
    // A fixed point exists near r = 12.6, but the iteration contracts only by a
    // factor of about 0.6 a step: 25 steps are not enough.
    KaCamera slow(1, 100, 0, 0, 0.0013, 0, 0, "");
    double x = 10, y = 0;
    EXPECT_FALSE(slow.InvAdjust(&x, &y));
    EXPECT_EQ(x, 10.0);
    EXPECT_EQ(y, 0.0);

    // No fixed point at all: the iterate runs away to infinity and NaN.
    KaCamera wild(1, 100, 0, 0, 0.01, 0, 0, "");
    EXPECT_FALSE(wild.InvAdjust(&x, &y));
    EXPECT_EQ(x, 10.0);
    EXPECT_EQ(y, 0.0);
}

TEST(KaCamera, PointAndListForms) {
    KaCamera cam(1, 100, 0, 0, 0.0013, 0, 0, "");
    KaPointList list;
    list.Add(new KaPoint(1, 1.0, 0.0));
    list.Add(new KaPoint(2, 10.0, 0.0)); // InvAdjust does not converge here
    list.Add(new KaPoint(3, 0.0, -2.0));

    EXPECT_TRUE(cam.InvAdjust(&list));
    KaPoint const* p1 = list.First();
    KaPoint const* p2 = p1->Next();
    KaPoint const* p3 = p2->Next();
    EXPECT_NEAR(p1->x - 0.0013 * p1->x * p1->x * p1->x, 1.0, 1e-9);
    EXPECT_EQ(p2->x, 10.0);
    EXPECT_NEAR(p3->y - 0.0013 * p3->y * p3->y * p3->y, -2.0, 1e-9);

    EXPECT_TRUE(cam.Adjust(&list));
    EXPECT_NEAR(p1->x, 1.0, 1e-9);
    EXPECT_NEAR(p3->y, -2.0, 1e-9);

    KaPoint single(4, 3.0, 4.0);
    EXPECT_TRUE(cam.Adjust(&single));
    EXPECT_NEAR(single.x, 3.0 * (1 - 0.0013 * 25), 1e-12);
    EXPECT_TRUE(cam.InvAdjust(&single));
    EXPECT_NEAR(single.x, 3.0, 1e-9);

    KaCamera none;
    EXPECT_TRUE(none.Adjust(&list)); // skips every point
    EXPECT_NEAR(p1->x, 1.0, 1e-9);
    EXPECT_FALSE(cam.Adjust(static_cast<KaPointList*>(nullptr)));
    EXPECT_FALSE(cam.InvAdjust(static_cast<KaPointList*>(nullptr)));
    EXPECT_FALSE(cam.Adjust(static_cast<KaPoint*>(nullptr)));
}

TEST(KaCameraList, FindBestMatchPrefersTheHeadOnTies) {
    KaCameraList list;
    list.Add(new KaCamera(1, 150, 0, 0, 0, 0, 0, "SVK 10/1318"));
    list.Add(new KaCamera(2, 160, 0, 0, 0, 0, 0, "SVK 10/1318 b"));
    list.Add(new KaCamera(3, 155.5, 0, 0, 0, 0, 0, "Square 6x6"));
    list.Add(new KaCamera(4, 154, 0, 0, 0, 0, 0, "umk 10/1318"));

    EXPECT_EQ(list.FindBestMatch("SVK", 155)->GetId(), 1u); // 5 from both: the head wins
    EXPECT_EQ(list.FindBestMatch("SVK", 158)->GetId(), 2u);
    EXPECT_EQ(list.FindBestMatch("umk", 100)->GetId(), 4u); // case counts
    EXPECT_EQ(list.FindBestMatch("", 155.4)->GetId(), 3u);
    EXPECT_EQ(list.FindBestMatch("Panorama", 150), nullptr);

    // The flag-filtered walk.
    list.Find(2u)->SetFlag(0x2);
    list.Find(4u)->SetFlag(0x2);
    KaCamera* first = list.First()->First(0x2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetId(), 2u);
    EXPECT_EQ(first->Next(0x2)->GetId(), 4u);
    EXPECT_EQ(first->Next(0x2)->Next(0x2), nullptr);
    EXPECT_EQ(list.Last()->Previous(0x2)->GetId(), 2u);
}

TEST(KaCameraList, WritesTheCatalogueLayout) {
    KaCameraList list;
    FillLayoutCameras(list);
    std::locale const saved = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    std::ostringstream file;
    KaCameraList::WriteHeaderComment(file);
    list.Write(file);
    std::ostringstream gentri;
    for (KaCamera const* c = list.First(); c; c = c->Next()) {
        c->WriteGentriFormat(gentri);
        gentri << Kaendl;
    }
    std::locale::global(saved);
    EXPECT_EQ(file.str(), FileText(kDataDir + "/camera_layout.cam"));
    EXPECT_EQ(gentri.str(), FileText(kDataDir + "/camera_layout.gentri"));
    EXPECT_EQ(KaWriterLevel(), 0);
}

TEST(KaCameraList, ReadsHandWrittenCatalogues) {
    KaCameraList expected;
    FillLayoutCameras(expected);
    KaCameraList layout((kDataDir + "/camera_layout.cam").c_str());
    ExpectSameCameras(layout, expected);
    // Code-page-1252 bytes stay single bytes.
    EXPECT_EQ(std::strlen(layout.Find(2u)->GetInfo()), std::strlen("Square 6x6 \xB5m-Reseau"));

    // Free spacing, records over several lines, integers for reals; C is kept
    // as its absolute value. Cameras are appended to those in the list.
    KaCameraList list;
    list.Add(new KaCamera(1, 100, 0, 0, 0, 0, 0, "kept"));
    EXPECT_EQ(list.ReadFile((kDataDir + "/camera_handmade.cam").c_str()), 1);
    KaCameraList handmade;
    handmade.Add(new KaCamera(1, 100, 0, 0, 0, 0, 0, "kept"));
    handmade.Add(new KaCamera(5, 152.1, 0.01, -0.02, 0, 0, 0, "Metric 15/23"));
    handmade.Add(new KaCamera(6, 85, 1.5e-3, -2e-3, -1.25e-5, 3e-9, 40, "Semi-metric 6x6"));
    handmade.Add(new KaCamera(7, 210, 0, 0, 0, 0, 0, "Metric 21/23"));
    ExpectSameCameras(list, handmade);

    EXPECT_EQ(list.ReadFile("/nonexistent/Tarvis.cam"), 1);
    EXPECT_EQ(list.Count(), 4);
}

TEST(KaCameraList, BrokenRecordKeepsTheCamerasBefore) {
    std::istringstream in("{ 1 152.1 0 0 0 0 0 \"first\" }\n"
                          "{ 2 85.0 0 0 zero 0 0 \"broken\" }\n"
                          "{ 3 100 0 0 0 0 0 \"after\" }\n");
    KaReader reader(in, "cameras");
    KaCameraList list;
    KaReaderObject handler(Link(&list, &KaCameraList::Read));
    reader.RegisterObject(handler);
    reader.DoProcess(true);
    ASSERT_GE(list.Count(), 1);
    EXPECT_EQ(list.First()->GetId(), 1u);
    EXPECT_EQ(list.Find(2u), nullptr);

    // A record that breaks off leaves a camera as it was.
    std::istringstream partial("7 -50 1 2 3");
    KaReader reader2(partial, "partial");
    KaCamera cam(4, 152.1, 0, 0, 0, 0, 0, "old");
    struct Probe : LinkHdl {
        KaCamera* cam;
        bool thrown = false;
        long Run(void* arg) {
            try {
                cam->Read(static_cast<KaReaderObject*>(arg));
            } catch (KaParserStatus const&) {
                thrown = true;
            }
            return 1;
        }
    } probe;
    probe.cam = &cam;
    KaReaderObject catchAll(Link(&probe, &Probe::Run));
    reader2.RegisterObject(catchAll);
    reader2.DoProcess(true);
    EXPECT_TRUE(probe.thrown);
    EXPECT_EQ(cam.GetId(), 4u);
    EXPECT_EQ(cam.GetC(), 152.1);
}

TEST_F(CameraFiles, RoundTripThroughAFile) {
    KaCameraList list;
    FillLayoutCameras(list);
    std::string const name = Path("Tarvis.cam");
    ASSERT_EQ(list.WriteFile(name.c_str(), false), 1);
    EXPECT_EQ(FileText(name), FileText(kDataDir + "/camera_layout.cam"));
    KaCameraList back(name.c_str());
    ExpectSameCameras(back, list);

    // Rewriting replaces the old file and leaves no temporary behind.
    list.Destroy();
    list.Add(new KaCamera(8, -120.5, 0, 0, 0, 0, 0, "negative"));
    ASSERT_EQ(list.WriteFile(name.c_str(), true), 1);
    std::ostringstream gentri;
    gentri << " " << std::string(4 - 1, ' ') << "8"
           << " " << std::string(16 - 5, ' ') << "120.5";
    for (int i = 0; i < 5; ++i)
        gentri << " " << std::string(15, ' ') << "0";
    gentri << "\n";
    EXPECT_EQ(FileText(name), gentri.str());
    EXPECT_EQ(FilesInDir(), 1);
}

TEST_F(CameraFiles, InfoTextThatCannotBeQuotedStaysReadable) {
    KaCameraList list;
    list.Add(new KaCamera(1, 152.1, 0, 0, 0, 0, 0, "Wide \"super\"\nangle"));
    list.Add(new KaCamera(2, 85, 0, 0, 0, 0, 0, "next"));
    std::string const name = Path("quotes.cam");
    ASSERT_EQ(list.WriteFile(name.c_str()), 1);
    KaCameraList back(name.c_str());
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(std::string(back.First()->GetInfo()), "Wide 'super' angle");
    EXPECT_EQ(back.Last()->GetId(), 2u);
}

TEST_F(CameraFiles, FailedWriteLeavesNothingBehind) {
    KaCameraList list;
    FillLayoutCameras(list);
    EXPECT_EQ(list.WriteFile(Path("missing/Tarvis.cam").c_str()), 0);
    // A folder in the way of the file: the rename fails, the folder stays.
    std::filesystem::create_directory(dir / "taken.cam");
    std::ofstream(dir / "taken.cam" / "inside") << "data";
    EXPECT_EQ(list.WriteFile(Path("taken.cam").c_str()), 0);
    EXPECT_EQ(FileText(Path("taken.cam/inside")), "data");
    EXPECT_EQ(FilesInDir(), 1);
}
