#include "model/KaPointList.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Codes = std::vector<int>;

KaPointFormat Mask(Codes codes) {
    std::vector<eKaPointRWMask> table;
    for (int code : codes)
        table.push_back(static_cast<eKaPointRWMask>(code));
    table.push_back(static_cast<eKaPointRWMask>(0));
    return KaPointFormat(table.data());
}

std::string Blanks(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}

class KaPointListFile : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("tarvis_point_list_" + std::to_string(::getpid()) + "_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
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

// A double of any sign and magnitude cut to 16 significant digits: what a point
// file can hold, so it must come back bit for bit.
double SixteenDigits(std::mt19937_64& rng) {
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    std::uniform_int_distribution<int> kind(0, 9);
    double value = 0.0;
    switch (kind(rng)) {
    case 0: // integers beyond 32 bits are written without a decimal point
        value = std::round(mantissa(rng) * 1e12);
        break;
    case 1:
        value = std::round(mantissa(rng) * 100.0);
        break;
    case 2:
        value = mantissa(rng) * 1e-310; // subnormal
        break;
    default:
        value = mantissa(rng) * std::pow(10.0, exponent(rng));
        break;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.16g", value);
    return std::strtod(text, nullptr);
}

KaPoint RandomPoint(std::mt19937_64& rng) {
    std::uniform_int_distribution<unsigned int> id;
    std::uniform_int_distribution<int> number(INT_MIN, INT_MAX);
    std::uniform_int_distribution<int> code(SHRT_MIN, SHRT_MAX);
    KaPoint p(id(rng), SixteenDigits(rng), SixteenDigits(rng), SixteenDigits(rng),
              static_cast<short>(code(rng)));
    p.photoId = number(rng);
    p.cameraId = number(rng);
    for (double* v : {&p.dx, &p.dy, &p.dz, &p.redu, &p.redu2, &p.redu3})
        *v = SixteenDigits(rng);
    return p;
}

// The first column of the mask in which read differs from written, bit for bit;
// empty when there is none.
std::string Difference(KaPoint const& written, KaPoint const& read, Codes const& codes) {
    struct Column {
        int code;
        double KaPoint::*field;
    };
    static Column const columns[] = {
        {PRW_X, &KaPoint::x},       {PRW_Y, &KaPoint::y},         {PRW_Z, &KaPoint::z},
        {PRW_DX, &KaPoint::dx},     {PRW_DY, &KaPoint::dy},       {PRW_DZ, &KaPoint::dz},
        {PRW_SX, &KaPoint::dx},     {PRW_SY, &KaPoint::dy},       {PRW_SZ, &KaPoint::dz},
        {PRW_REDU, &KaPoint::redu}, {PRW_REDU2, &KaPoint::redu2}, {PRW_REDU3, &KaPoint::redu3}};
    for (int code : codes) {
        bool same = true;
        switch (code) {
        case PRW_NUMBER:
            same = written.GetId() == read.GetId();
            break;
        case PRW_CODE123:
            same = (written.controlFlags & 7) == read.controlFlags;
            break;
        case PRW_CODE:
            same = written.controlFlags == read.controlFlags;
            break;
        case PRW_PHOTO:
            same = written.photoId == read.photoId;
            break;
        case PRW_CAMERA:
            same = written.cameraId == read.cameraId;
            break;
        default:
            for (auto const& column : columns)
                if (column.code == code)
                    same = std::bit_cast<std::uint64_t>(written.*column.field) ==
                           std::bit_cast<std::uint64_t>(read.*column.field);
            break;
        }
        if (!same)
            return "column " + std::to_string(code) + " of point " + std::to_string(written.GetId());
    }
    return {};
}

struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

// Puts a comma-decimal global locale in place for its lifetime.
class CommaGlobalLocale {
public:
    CommaGlobalLocale() : m_saved(std::locale::global(std::locale(std::locale::classic(), new Comma))) {}
    CommaGlobalLocale(CommaGlobalLocale const&) = delete;
    CommaGlobalLocale& operator=(CommaGlobalLocale const&) = delete;
    ~CommaGlobalLocale() { std::locale::global(m_saved); }

private:
    std::locale m_saved;
};

struct BlockHolder : LinkHdl {
    KaPointList points{Mask({PRW_X, PRW_Y})};
    long Read(void* arg) { return points.Read(static_cast<KaReaderObject*>(arg)); }
};

} // namespace

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
    EXPECT_EQ(list.Find(7, 0, start), nullptr);

    double d = 0;
    EXPECT_EQ(list.FindNearest(KaPoint(0, 2.5, 0), &d), list.Get(1)); // the first of equal ones
    EXPECT_DOUBLE_EQ(d, 0.5);
    EXPECT_EQ(KaPointList().FindNearest(KaPoint()), nullptr);

    // Each point of the second list matches one point of the first at most.
    KaPointList other, out;
    other.Add(new KaPoint(2, 0, 0));
    other.Add(new KaPoint(9, 0, 0));
    other.Add(new KaPoint(4, 0, 0));
    list.Add(new KaPoint(2, 20, 0));
    EXPECT_EQ(FindKaPointById(list, other, &out), 2);
    ASSERT_EQ(out.Count(), 2);
    EXPECT_EQ(out.First()->x, 2);
    EXPECT_EQ(out.Last()->x, 4);
    other.Add(new KaPoint(2, 0, 0));
    EXPECT_EQ(FindKaPointById(list, other, nullptr), 3);
}

TEST(KaPointList, TitleLineAndLayout) {
    std::ostringstream titles;
    titles << Mask({PRW_NUMBER, PRW_X, PRW_Y, PRW_CODE, PRW_SKIP, 99, PRW_RESX});
    EXPECT_EQ(titles.str(), Blanks(10) + "#" + Blanks(18) + "   X" + Blanks(18) + "   Y" + " Code" +
                                Blanks(15) + "Residual x");

    // 16 significant digits, each column in its field; codes outside the table write nothing.
    KaPointList list(Mask({PRW_NUMBER, PRW_X, 99, PRW_Y, PRW_CODE123}));
    list.Add(new KaPoint(1001, 1.0 / 3.0, -3, 0, 3));
    list.Add(new KaPoint(2, 0.1, 1e20, 0, 0));
    std::ostringstream os;
    list.Write(os);
    EXPECT_EQ(os.str(), Blanks(7) + "1001" + Blanks(4) + "0.3333333333333333" + Blanks(20) + "-3" +
                            Blanks(2) + " 12\n" + Blanks(10) + "2" + Blanks(19) + "0.1" + Blanks(17) +
                            "1e+20" + Blanks(2) + "  0");

    // A caller's decimal comma does not reach the file.
    std::ostringstream comma;
    comma.imbue(std::locale(std::locale::classic(), new Comma));
    list.Write(comma);
    EXPECT_EQ(comma.str(), os.str());
}

TEST_F(KaPointListFile, RoundTripsEveryReadableColumnBitForBit) {
    std::vector<Codes> const masks = {
        {PRW_NUMBER, PRW_X, PRW_Y, PRW_CODE},
        {PRW_X, PRW_Y},
        {PRW_X, PRW_Y, PRW_Z},
        {PRW_NUMBER, PRW_X, PRW_Y},
        {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z},
        {PRW_NUMBER, PRW_CODE123, PRW_PHOTO, PRW_CAMERA, PRW_X, PRW_Y, PRW_Z},
        {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z, PRW_DX, PRW_DY, PRW_DZ, PRW_DS, PRW_REDU, PRW_REDU2, PRW_REDU3},
        {PRW_SZ, PRW_SY, PRW_SX, PRW_CAMERA, PRW_Z, PRW_PHOTO, PRW_NUMBER, PRW_CODE},
    };
    std::mt19937_64 rng(20240611);
    CommaGlobalLocale const comma; // must change neither writing nor reading
    for (auto const& codes : masks) {
        SCOPED_TRACE(::testing::PrintToString(codes));
        KaPointList list(Mask(codes));
        for (int i = 0; i < 300; ++i)
            list.Add(RandomPoint(rng));
        ASSERT_EQ(list.WriteFile(Path("points.txt")), 1);

        KaPointList back;
        KaReaderErrorList errors;
        EXPECT_EQ(back.ReadFile(Path("points.txt"), Mask(codes), &errors), 300);
        for (KaReaderError const* e = errors.First(); e; e = e->Next())
            ADD_FAILURE() << e->GetText() << " in line " << e->GetLine();
        int mismatches = 0;
        for (KaPoint *p = list.First(), *q = back.First(); p && q; p = p->Next(), q = q->Next()) {
            std::string const difference = Difference(*p, *q, codes);
            if (!difference.empty() && ++mismatches <= 3)
                ADD_FAILURE() << difference;
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(KaPointListFile, ColumnsThatAreNotReadBack) {
    KaPoint p(4, 1.5, 0);
    p.dx = 3, p.dy = 4, p.redu = 0.5, p.redu2 = 0.25, p.redu3 = 2;
    p.SetName("17");

    // dS is the length of the deviations, also where their squares leave the double
    // range; reading takes the column and drops it.
    KaPointList ds(Mask({PRW_NUMBER, PRW_DS}));
    ds.Add(p);
    KaPoint huge(p);
    huge.dx = 3e200, huge.dy = 4e200;
    ds.Add(huge);
    ds.WriteFile(Path("ds.txt"));
    EXPECT_EQ(Text("ds.txt"),
              Blanks(10) + "4" + Blanks(24) + "5\n" + Blanks(10) + "4" + Blanks(19) + "5e+200");
    KaPointList back;
    EXPECT_EQ(back.ReadFile(Path("ds.txt"), Mask({PRW_NUMBER, PRW_DS})), 2);
    EXPECT_EQ(back.Last()->dx, 0.0);

    // Residual columns write the reductions but read nothing: read as reductions they
    // come back, read with their own mask the residual is taken for the next number.
    KaPointList residuals(Mask({PRW_NUMBER, PRW_X, PRW_RESX, PRW_RESY, PRW_RESZ}));
    residuals.Add(p);
    residuals.Add(p);
    residuals.WriteFile(Path("res.txt"));
    KaPointList asRedu;
    EXPECT_EQ(asRedu.ReadFile(Path("res.txt"), Mask({PRW_NUMBER, PRW_X, PRW_REDU, PRW_REDU2, PRW_REDU3})), 2);
    EXPECT_EQ(asRedu.Last()->redu2, 0.25);
    EXPECT_EQ(asRedu.Last()->redu3, 2);
    KaPointList own;
    KaReaderErrorList errors;
    EXPECT_EQ(own.ReadFile(Path("res.txt"), Mask({PRW_NUMBER, PRW_X, PRW_RESX, PRW_RESY, PRW_RESZ}), &errors),
              1);
    EXPECT_EQ(own.First()->redu, 0.0);
    ASSERT_EQ(errors.Count(), 1);
    EXPECT_EQ(errors.First()->GetLine(), 1);

    // The name column: a number is read and dropped, a word is a type error; the
    // skip column passes over either.
    KaPointList named(Mask({PRW_NUMBER, PRW_NAME, PRW_X}));
    named.Add(p);
    p.SetName("P2");
    p.SetId(5);
    named.Add(p);
    named.WriteFile(Path("named.txt"));
    EXPECT_EQ(Text("named.txt").substr(0, 44), Blanks(10) + "4" + Blanks(9) + "17" + Blanks(19) + "1.5");
    KaPointList dropped;
    EXPECT_EQ(dropped.ReadFile(Path("named.txt"), Mask({PRW_NUMBER, PRW_NAME, PRW_X}), &errors), 1);
    EXPECT_EQ(dropped.First()->GetName().length(), 0);
    ASSERT_EQ(errors.Count(), 1);
    EXPECT_EQ(errors.First()->GetLine(), 2);
    KaPointList skipped;
    EXPECT_EQ(skipped.ReadFile(Path("named.txt"), Mask({PRW_NUMBER, PRW_SKIP, PRW_X}), &errors), 2);
    EXPECT_EQ(errors.Count(), 0);
    EXPECT_EQ(skipped.Last()->GetId(), 5u);
    EXPECT_EQ(skipped.Last()->x, 1.5);
}

TEST_F(KaPointListFile, ReadingStopsAtErrorsAndKeepsWhatWasRead) {
    // A wrong token in line 3 is reported there; the points before it stay and are
    // added to those already in the list.
    Put("bad.txt", "1 10.0 20.0\n2 11.0 21.0\n3 x 22.0\n4 13.0 23.0\n");
    KaPointList list;
    list.Add(new KaPoint(99, 0, 0));
    KaReaderErrorList errors;
    EXPECT_EQ(list.ReadFile(Path("bad.txt"), Mask({PRW_NUMBER, PRW_X, PRW_Y}), &errors), 3);
    ASSERT_EQ(errors.Count(), 1);
    EXPECT_EQ(errors.First()->GetStatus(), ParserErrorNotSpecifiedToken);
    EXPECT_EQ(errors.First()->GetLine(), 3);
    EXPECT_EQ(list.Last()->GetId(), 2u);

    // The mask, not the line, delimits a point; one cut off by the end is dropped quietly.
    Put("cut.txt", "; number x y\n1 10\n20 2 11\n3 12\n");
    KaPointList cut;
    EXPECT_EQ(cut.ReadFile(Path("cut.txt"), Mask({PRW_NUMBER, PRW_X, PRW_Y}), &errors), 2);
    EXPECT_EQ(errors.Count(), 0);
    EXPECT_EQ(cut.Last()->y, 3);

    // A missing file reads nothing and says why.
    KaPointList none;
    EXPECT_EQ(none.ReadFile(Path("missing.txt"), Mask({PRW_NUMBER}), &errors), 0);
    ASSERT_EQ(errors.Count(), 1);
    EXPECT_EQ(errors.First()->GetStatus(), ParserErrorStream);

    // Writing into a folder that does not exist fails without leaving anything.
    EXPECT_EQ(list.WriteFile(Path("no/such/folder.txt")), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST_F(KaPointListFile, MasksThatReadNoNumberEnd) {
    // Only skipped columns, or none at all: reading must still come to an end.
    Put("three.txt", "1 2 3\n");
    KaPointList skips;
    KaReaderErrorList errors;
    EXPECT_EQ(skips.ReadFile(Path("three.txt"), Mask({PRW_SKIP}), &errors), 3);
    EXPECT_EQ(errors.Count(), 0);
    KaPointList empty;
    EXPECT_EQ(empty.ReadFile(Path("three.txt"), KaPointFormat(), &errors), 0);
    EXPECT_EQ(errors.Count(), 0);
    KaPointList residual;
    EXPECT_EQ(residual.ReadFile(Path("three.txt"), Mask({PRW_RESX, PRW_RESY}), &errors), 0);
}

TEST(KaPointList, ReadsABlockUpToItsBrace) {
    BlockHolder holder;
    std::istringstream in("POINTS { 1 2\n3 4 }\nAFTER 5\n");
    KaReader reader(in, "block");
    int after = 0;
    KaReaderObject points("POINTS", Link(&holder, &BlockHolder::Read)), next("AFTER", &after);
    reader.RegisterObject(points);
    reader.RegisterObject(next);
    reader.DoProcess(true);
    EXPECT_EQ(holder.points.Count(), 2);
    EXPECT_EQ(holder.points.Last()->y, 4);
    EXPECT_EQ(after, 5);
    EXPECT_EQ(reader.GetReadErrorCount(), 0);

    // A block cut off by the end of the input keeps its points and is reported.
    BlockHolder cut;
    std::istringstream open("POINTS { 1 2\n3 4\n");
    KaReader openReader(open, "open block");
    KaReaderObject openPoints("POINTS", Link(&cut, &BlockHolder::Read));
    openReader.RegisterObject(openPoints);
    openReader.DoProcess(true);
    EXPECT_EQ(cut.points.Count(), 2);
    ASSERT_EQ(openReader.GetReadErrorCount(), 1);
    EXPECT_EQ(openReader.GetReaderErrorList()->First()->GetStatus(), ParserStatusEOF);
}

TEST(KaPointList, WritesNumbersAsTheStreamWould) {
    // Whatever float format the caller left on the stream, a coordinate column holds
    // what the stream itself writes with 16 digits, in its field.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 308);
    std::vector<double> values = {
        0.0,      -0.0,      1.0, 0.1, 1e21, 123456789012345678.0, 5e-324, 1.7976931348623157e308,
        HUGE_VAL, -HUGE_VAL, NAN};
    for (int i = 0; i < 2000; ++i)
        values.push_back(mantissa(rng) * std::pow(10.0, exponent(rng)));
    std::ios_base::fmtflags const formats[] = {
        std::ios_base::fmtflags(), std::ios_base::fixed, std::ios_base::scientific,
        std::ios_base::fixed | std::ios_base::scientific, std::ios_base::showpos | std::ios_base::uppercase};
    KaPointFormat const mask = Mask({PRW_X, PRW_DX});
    for (auto format : formats) {
        int mismatches = 0;
        for (double value : values) {
            KaPoint p(1, value, 0);
            p.dx = -value;
            std::ostringstream os, expected;
            os.setf(format);
            expected.setf(format);
            p.Write(os, mask);
            expected << w16 << p16 << value << w19 << -value;
            if (os.str() != expected.str() && ++mismatches <= 3)
                ADD_FAILURE() << "wrote " << os.str() << "\nwants " << expected.str();
        }
        EXPECT_EQ(mismatches, 0) << "format flags " << format;
    }
}
