#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Codes = std::vector<eKaPointRWMask>;

KaPointFormat Mask(Codes codes) {
    codes.push_back(static_cast<eKaPointRWMask>(0));
    return KaPointFormat(codes.data());
}

class TempFolder : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarvis_point_test";
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    String Path(char const* name) const { return String((dir / name).string().c_str()); }
    void Put(char const* name, std::string const& text) const { std::ofstream(dir / name) << text; }
    std::string Text(char const* name) const {
        std::ifstream in(dir / name);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
};

// Values that need all 16 digits, and some that are awkward to print.
KaPoint Awkward(unsigned int id) {
    KaPoint p(id, 1234.567890123456, -97.39356333333333, id / 8.0, 5);
    p.photoId = 3;
    p.cameraId = 7;
    p.dx = 0.1, p.dy = 0.6666666666666666, p.dz = 12345678.9;
    p.redu = -1e-300, p.redu2 = 5e15, p.redu3 = 0.3;
    return p;
}

} // namespace

TEST(KaPoint, ControlCodes) {
    KaPoint p;
    EXPECT_EQ(p.SetAsControlFlag("xz"), 0x5);
    EXPECT_STREQ(p.GetControlFlagsAsXYZ(), "X Z");
    EXPECT_STREQ(p.GetControlFlagsAs123(), " 13");
    EXPECT_EQ(p.SetAsControlFlag(12), 0x3);
    EXPECT_TRUE(p.IsXControlPoint() && p.IsYControlPoint() && !p.IsZControlPoint());
    EXPECT_EQ(p.SetAsControlFlag(123), 0x7);
    EXPECT_EQ(p.SetAsControlFlag(0), 0);
    EXPECT_STREQ(p.GetControlFlagsAs123(), "  0");
    EXPECT_STREQ(p.GetControlFlagsAsXYZ(), " N ");
    EXPECT_STREQ(KaPoint::GetControlCodeAsXYZ(6), " YZ");
}

TEST(KaPoint, ArithmeticAndOrder) {
    KaPoint a(5, 1, 2, 3), b(3, 3, 6, 9);
    a.photoId = 1;
    b.photoId = 2;
    EXPECT_GT(a.Compare(&b), 0); // (1 - 2) + (5 - 3)
    a.SetName("A");
    KaPoint const mean = a % b;
    EXPECT_EQ(mean.x, 2);
    EXPECT_EQ(mean.z, 6);
    EXPECT_EQ(mean.GetId(), 5u);
    EXPECT_STREQ(mean.GetName().chars(), "A");
    EXPECT_EQ((b - a).y, 4);
    EXPECT_EQ((b / 3).z, 3);
    EXPECT_DOUBLE_EQ(a.Distance(b), std::sqrt(4.0 + 16.0 + 36.0));
    EXPECT_TRUE(KaPoint(1, 1, 2, 3) == KaPoint(2, 1, 2, 3));

    // Extreme numbers compare without overflow.
    KaPoint high(0xFFFFFFFFu, 0, 0), low(1, 0, 0);
    EXPECT_EQ(high.Compare(&low), -2);
}

TEST(KaPoint, UnitsAndAngles) {
    EXPECT_STREQ(GetKaUnitText(static_cast<eKaUnit>(0), true), "??");
    EXPECT_STREQ(GetKaUnitText(KaUnitMicron, false), "\xB5m");
    EXPECT_STREQ(GetKaUnitText(KaUnitCM, true), "[cm]");
    EXPECT_EQ(GetUnitFactor(KaUnitM), 1.0);
    double v = 2.5;
    ConvertUnit(&v, KaUnitCM, KaUnitMM);
    EXPECT_DOUBLE_EQ(v, 25.0);
    EXPECT_DOUBLE_EQ(ConvertAngle(200, KaAngleGon, KaAngleDeg), 180.0);
    EXPECT_DOUBLE_EQ(ConvertAngle(90, KaAngleDeg, KaAngleRad), 3.141592653589793 / 2);
}

TEST(KaPoint, FlagPredicatesAndWalks) {
    KaPointList list;
    for (unsigned int i = 1; i <= 4; ++i)
        list.Add(new KaPoint(i, i, 0));
    list.Get(1)->SetFlag(PointFlagTrafo2DUsed);
    list.Get(3)->SetFlag(PointFlagTrafo2DUsed | PointFlagGuiSelect);
    EXPECT_EQ(IsPointTrafo2DUsed(list.Get(1)), static_cast<unsigned int>(PointFlagTrafo2DUsed));
    EXPECT_EQ(IsPointFlagGuiSelect(list.Get(1)), 0u);
    EXPECT_EQ(list.First()->First(PointFlagTrafo2DUsed), list.Get(1));
    EXPECT_EQ(list.Get(1)->Next(PointFlagTrafo2DUsed), list.Get(3));
    EXPECT_EQ(list.Get(3)->Previous(PointFlagGuiSelect), nullptr);
    KaObject plain;
    EXPECT_EQ(IsPointTrafo2DUsed(&plain), 0u);
}

TEST(KaPointList, Searches) {
    KaPointList list;
    for (unsigned int i = 1; i <= 6; ++i) {
        auto* p = list.Add(new KaPoint(i, i, 0));
        p->photoId = static_cast<int>(i % 2);
    }
    KaPoint* start = list.Get(4);
    EXPECT_EQ(list.Find(5, 0, start), list.Get(4));
    EXPECT_EQ(list.Find(2, 0, start), list.Get(1)); // found before start
    EXPECT_EQ(list.Find(2, 1), nullptr);
    EXPECT_EQ(list.Find(3, 1), list.Get(2));

    double d = 0;
    EXPECT_EQ(list.FindNearest(KaPoint(0, 2.5, 0), &d), list.Get(1)); // the first of equal ones
    EXPECT_DOUBLE_EQ(d, 0.5);
    EXPECT_EQ(KaPointList().FindNearest(KaPoint()), nullptr);

    KaPointList other, out;
    other.Add(new KaPoint(2, 0, 0));
    other.Add(new KaPoint(9, 0, 0));
    other.Add(new KaPoint(4, 0, 0));
    EXPECT_EQ(FindKaPointById(list, other, &out), 2);
    ASSERT_EQ(out.Count(), 2);
    EXPECT_EQ(out.First()->x, 2);
}

TEST(KaPointList, TitleLineAndLayout) {
    std::ostringstream titles;
    titles << Mask({PRW_NUMBER, PRW_X, PRW_Y, PRW_CODE, PRW_SKIP, PRW_RESX});
    auto const pad = [](int n) { return std::string(static_cast<size_t>(n), ' '); };
    EXPECT_EQ(titles.str(),
              pad(10) + "#" + pad(18) + "   X" + pad(18) + "   Y" + " Code" + pad(15) + "Residual x");

    KaPointList list(Mask({PRW_NUMBER, PRW_X, PRW_Y, PRW_CODE123}));
    list.Add(new KaPoint(1001, 12.5, -3, 0, 3));
    list.Add(new KaPoint(2, 0.1, 1e20, 0, 0));
    std::ostringstream os;
    os.imbue(std::locale::classic());
    list.Write(os);
    EXPECT_EQ(os.str(), pad(7) + "1001" + pad(18) + "12.5" + pad(20) + "-3" + pad(2) + " 12\n" + pad(10) +
                            "2" + pad(19) + "0.1" + pad(17) + "1e+20" + pad(2) + "  0");
}

TEST_F(TempFolder, RoundTripsEveryColumn) {
    std::vector<Codes> const masks = {
        {PRW_NUMBER, PRW_X, PRW_Y, PRW_CODE},
        {PRW_NUMBER, PRW_CODE123, PRW_PHOTO, PRW_CAMERA, PRW_X, PRW_Y, PRW_Z},
        {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z, PRW_DX, PRW_DY, PRW_DZ, PRW_REDU, PRW_REDU2, PRW_REDU3},
        {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z, PRW_SX, PRW_SY, PRW_SZ},
    };
    for (auto const& codes : masks) {
        KaPointList list(Mask(codes));
        for (unsigned int i = 1; i <= 20; ++i)
            list.Add(Awkward(i));
        ASSERT_EQ(list.WriteFile(Path("points.txt")), 1);

        KaPointList back;
        KaReaderErrorList errors;
        EXPECT_EQ(back.ReadFile(Path("points.txt"), Mask(codes), &errors), 20);
        EXPECT_EQ(errors.Count(), 0);
        for (KaPoint *p = list.First(), *q = back.First(); p && q; p = p->Next(), q = q->Next()) {
            for (auto code : codes) {
                switch (code) {
                case PRW_NUMBER:
                    EXPECT_EQ(p->GetId(), q->GetId());
                    break;
                case PRW_CODE:
                case PRW_CODE123:
                    EXPECT_EQ(p->controlFlags, q->controlFlags);
                    break;
                case PRW_PHOTO:
                    EXPECT_EQ(p->photoId, q->photoId);
                    break;
                case PRW_CAMERA:
                    EXPECT_EQ(p->cameraId, q->cameraId);
                    break;
                default: // every double comes back bit for bit
                    EXPECT_EQ(p->x, q->x);
                    EXPECT_EQ(p->y, q->y);
                    if (code == PRW_Z) {
                        EXPECT_EQ(p->z, q->z);
                    }
                    if (code == PRW_DY || code == PRW_SY) {
                        EXPECT_EQ(p->dy, q->dy);
                    }
                    if (code == PRW_DZ || code == PRW_SZ) {
                        EXPECT_EQ(p->dz, q->dz);
                    }
                    if (code == PRW_REDU) {
                        EXPECT_EQ(p->redu, q->redu);
                    }
                    if (code == PRW_REDU2) {
                        EXPECT_EQ(p->redu2, q->redu2);
                    }
                    break;
                }
            }
        }
    }
}

TEST_F(TempFolder, WriteOnlyColumns) {
    // dS is written and discarded on reading; residual columns are not read at all.
    KaPointList list(Mask({PRW_NUMBER, PRW_DS, PRW_RESX}));
    KaPoint p(4, 0, 0);
    p.dx = 3, p.dy = 4, p.redu = 0.5;
    list.Add(p);
    list.WriteFile(Path("ds.txt"));
    EXPECT_EQ(Text("ds.txt"),
              std::string(10, ' ') + "4" + std::string(24, ' ') + "5" + std::string(22, ' ') + "0.5");

    KaPointList back;
    back.ReadFile(Path("ds.txt"), Mask({PRW_NUMBER, PRW_DS}));
    // The residual left unread is taken for the next point's number and rejected.
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.First()->dx, 0.0);
}

TEST_F(TempFolder, ReadingStopsAtErrorsAndKeepsWhatWasRead) {
    // A wrong token in line 3 is reported there; the points before it stay.
    Put("bad.txt", "1 10.0 20.0\n2 11.0 21.0\n3 x 22.0\n4 13.0 23.0\n");
    KaPointList list;
    KaReaderErrorList errors;
    EXPECT_EQ(list.ReadFile(Path("bad.txt"), Mask({PRW_NUMBER, PRW_X, PRW_Y}), &errors), 2);
    ASSERT_EQ(errors.Count(), 1);
    EXPECT_EQ(errors.First()->GetStatus(), ParserErrorNotSpecifiedToken);
    EXPECT_EQ(errors.First()->GetLine(), 3);

    // A point cut off by the end of the input is dropped quietly; comments are free.
    Put("cut.txt", "; number x y\n1 10 20\n2 11\n");
    KaPointList cut;
    EXPECT_EQ(cut.ReadFile(Path("cut.txt"), Mask({PRW_NUMBER, PRW_X, PRW_Y}), &errors), 1);
    EXPECT_EQ(errors.Count(), 0);

    // A missing file reads nothing and says why.
    KaPointList none;
    EXPECT_EQ(none.ReadFile(Path("missing.txt"), Mask({PRW_NUMBER}), &errors), 0);
    ASSERT_EQ(errors.Count(), 1);
    EXPECT_EQ(errors.First()->GetStatus(), ParserErrorStream);

    // Writing into a folder that does not exist fails without leaving anything.
    EXPECT_EQ(list.WriteFile(Path("no/such/folder.txt")), 0);
}

TEST(KaPointList, ReadsABlockUpToItsBrace) {
    struct Holder : LinkHdl {
        KaPointList points{Mask({PRW_X, PRW_Y})};
        long Read(void* arg) { return points.Read(static_cast<KaReaderObject*>(arg)); }
    } holder;
    std::istringstream in("POINTS { 1 2\n3 4 }\nAFTER 5\n");
    KaReader reader(in, "block");
    int after = 0;
    KaReaderObject points("POINTS", Link(&holder, &Holder::Read)), next("AFTER", &after);
    reader.RegisterObject(points);
    reader.RegisterObject(next);
    reader.DoProcess(true);
    EXPECT_EQ(holder.points.Count(), 2);
    EXPECT_EQ(holder.points.Last()->y, 4);
    EXPECT_EQ(after, 5);
    EXPECT_EQ(reader.GetReadErrorCount(), 0);
}
