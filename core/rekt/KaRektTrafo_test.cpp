#include "rekt/KaRektTrafo.h"

#include "foundation/KaFilter.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string const DataDir = TARVIS_TEST_DATA_DIR;

KaMatrix Mat(int n, std::vector<double> const& rowMajor) {
    KaMatrix m(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            m.SetElem(i, j, rowMajor[static_cast<size_t>((i - 1) * n + (j - 1))]);
    return m;
}

// x' = x / (0.5 x + 1), y' = y / (0.5 x + 1).
KaMatrix Projective() {
    return Mat(3, {1, 0, 0, 0, 1, 0, 0.5, 0, 1});
}

// The plane into the wall X = x + 100, Y = 200, Z = y.
KaMatrix Wall() {
    return Mat(4, {1, 0, 0, 100, 0, 0, 0, 200, 0, 1, 0, 0, 0, 0, 0, 1});
}

// A camera whose only effect is the principal point at (1, 0).
KaCamera ShiftCamera() {
    return KaCamera(5, 100.0, 1.0, 0.0, 0.0, 0.0, 0.0, "shift");
}

std::vector<unsigned int> Ids(KaPointList const& list) {
    std::vector<unsigned int> ids;
    for (KaPoint const* p = list.First(); p; p = p->Next())
        ids.push_back(p->GetId());
    return ids;
}

// Reads a text with photo-level "REKTPLANE" and "REKTTRAFO" entries into list.
int ReadList(KaRektTrafoList& list, std::istream& in) {
    KaReader reader(in, "photo.txt");
    KaReaderObject plane("REKTPLANE", Link(&list, &KaRektTrafoList::AddTrafo));
    KaReaderObject old("REKTTRAFO", Link(&list, &KaRektTrafoList::AddTrafoV50));
    reader.RegisterObject(plane);
    reader.RegisterObject(old);
    reader.DoProcess(true);
    return reader.GetReadErrorCount();
}

int ReadList(KaRektTrafoList& list, std::string const& text) {
    std::istringstream in(text);
    return ReadList(list, in);
}

// The transform as a photo writes it: the keyword and the block.
void WritePlane(std::ostream& os, KaRektTrafo const& trafo) {
    os << s12 << "REKTPLANE" << Kaendl << KaBeginBlockNL;
    trafo.Write(os);
    os << KaEndBlockNL << Kaendl;
}

std::string PlaneText(KaRektTrafo const& trafo) {
    KaWriterReset();
    std::ostringstream os;
    WritePlane(os, trafo);
    return os.str();
}

// A transform with every part filled in.
KaRektTrafo FullTrafo() {
    KaRektTrafo t;
    t.SetId(4);
    t.SetName("Wall east");
    t.SetActive(true);
    t.SetDistortCameraFlag(true);
    t.SetRegionActive(false);
    t.SetRektMat(Mat(3, {1.0 / 3.0, 0.25, -12.5, 1e-7, 2.0, 1234.5678, 0.001, -0.0002, 1.0}));
    t.SetTransMat(Wall());
    t.SetDistortCameraParam(KaCamera(7, 152.5, 0.01, -0.02, 1.5e-6, -2e-10, 60.0, "Wide angle"));
    KaPolygon& meas = t.GetMeasPoints();
    meas.AddPoint(KaPoint(11, -10.25, 3.5));
    meas.AddPoint(KaPoint(12, 20.0, 4.0));
    meas.AddPoint(KaPoint(13, 5.0, 30.125));
    KaPolygon& def = t.GetDefPoints();
    def.AddPoint(KaPoint(1, 100.0, 200.0, 3.5));
    def.AddPoint(KaPoint(2, 110.0, 200.0, 3.25));
    def.AddPoint(KaPoint(3, 105.0, 200.0, 9.0));
    KaPolygon& region = t.GetRegion();
    for (auto [x, y] : {std::pair{-20.0, -20.0}, {40.0, -20.0}, {40.0, 40.0}, {0.0, 50.0}, {-20.0, 40.0}})
        region.AddPoint(KaPoint(0, x, y));
    region.GetPointList().Renumber(1, nullptr, 1);
    KaRektParallelDef& pd = t.GetParallelDef();
    pd.MakeDefLine(11, 12)->SetXAxis(1);
    pd.MakeDefLine(12, 13)->SetValue(2.5);
    pd.MakeConstraintDef(1, 2, KaRektDefLineConstraint::ConstraintPerpendicular);
    return t;
}

} // namespace

TEST(KaRektTrafo, StartsAsIdentityWithItsFlagsApart) {
    KaRektTrafo t;
    EXPECT_TRUE(t.GetRektMat().IsIdent());
    EXPECT_TRUE(t.GetTransMat().IsIdent());
    EXPECT_EQ(t.GetTransMat().GetLines(), 4);
    EXPECT_FALSE(t.IsActive());
    EXPECT_EQ(t.GetMeasPoints().GetMode(), KaPolygonNrXY);
    EXPECT_EQ(t.GetDefPoints().GetMode(), KaPolygonNrXYZ);
    EXPECT_EQ(t.GetParallelDef().GetPointList(), &t.GetBikoList());

    t.SetActive(true);
    t.SetRegionActive(true);
    EXPECT_EQ(t.GetFlag(), KaRektFlagActive | KaRektFlagRegionActive);
    t.SetActive(false);
    EXPECT_EQ(t.GetFlag(), KaRektFlagRegionActive);

    // Compensation needs both the flag and a numbered camera.
    t.SetDistortCameraFlag(true);
    EXPECT_TRUE(t.GetDistortCameraFlag());
    EXPECT_FALSE(t.CompensateDistortion());
    t.SetDistortCameraParam(ShiftCamera());
    EXPECT_TRUE(t.CompensateDistortion());
    t.SetDistortCameraFlag(false);
    EXPECT_FALSE(t.CompensateDistortion());

    EXPECT_THROW(t.SetRektMat(KaMatrix(4, 4)), eKaMatrixErrorCode);
}

TEST(KaRektTrafo, TransformRemovesDistortionThenAppliesBothMatrices) {
    KaRektTrafo t;
    KaPoint in(9, 3.0, 6.0);
    in.photoId = 2;
    KaPoint out;
    ASSERT_TRUE(t.Transform(&in, &out));
    EXPECT_EQ(out.x, 3.0);
    EXPECT_EQ(out.y, 6.0);
    EXPECT_EQ(out.GetId(), 9u);
    EXPECT_EQ(out.photoId, 2);

    t.SetRektMat(Projective());
    ASSERT_TRUE(t.Transform(&in, &out)); // w = 2.5
    EXPECT_DOUBLE_EQ(out.x, 1.2);
    EXPECT_DOUBLE_EQ(out.y, 2.4);
    EXPECT_EQ(out.z, 0.0);

    t.SetTransMat(Wall());
    ASSERT_TRUE(t.Transform(&in, &out));
    EXPECT_DOUBLE_EQ(out.x, 101.2);
    EXPECT_DOUBLE_EQ(out.y, 200.0);
    EXPECT_DOUBLE_EQ(out.z, 2.4);

    // The principal point shift comes first: (3, 6) -> (2, 6) -> w = 2 -> (1, 3).
    t.SetDistortCameraParam(ShiftCamera());
    t.SetDistortCameraFlag(true);
    ASSERT_TRUE(t.Transform(&in, &out));
    EXPECT_DOUBLE_EQ(out.x, 101.0);
    EXPECT_DOUBLE_EQ(out.y, 200.0);
    EXPECT_DOUBLE_EQ(out.z, 3.0);
    EXPECT_EQ(in.x, 3.0); // the input stays

    // In place, and over a list.
    KaPoint same = in;
    ASSERT_TRUE(t.Transform(&same, &same));
    EXPECT_DOUBLE_EQ(same.x, 101.0);
    KaPointList list;
    list.Add(in);
    list.Add(KaPoint(10, 1.0, 0.0));
    EXPECT_EQ(t.Transform(&list), 2);
    EXPECT_DOUBLE_EQ(list.First()->z, 3.0);
    EXPECT_DOUBLE_EQ(list.Last()->x, 100.0);
    KaPointList empty;
    EXPECT_EQ(t.Transform(&empty), 0);
    EXPECT_EQ(t.Transform(nullptr), 0);
    EXPECT_FALSE(t.Transform(nullptr, &out));
}

TEST(KaRektTrafo, TheValidRegionDecidesOverlapAndFilters) {
    KaRektTrafo t;
    KaPoint inside(1, 5.0, 5.0), outside(2, 50.0, 5.0);
    EXPECT_FALSE(t.HasRegion());
    EXPECT_FALSE(t.Overlap(&inside));
    EXPECT_EQ(HasRektRegion(&t), 0u);

    t.GetRegion() = KaPolygon(KaRegion(0.0, 0.0, 10.0, 10.0));
    EXPECT_TRUE(t.HasRegion());
    EXPECT_TRUE(t.Overlap(&inside));
    EXPECT_FALSE(t.Overlap(&outside));
    EXPECT_FALSE(t.Overlap(nullptr));
    t.SetActive(true);
    EXPECT_FALSE(t.Overlap(&outside));

    KaTestFilter active(&IsRektActive), region(&HasRektRegion);
    EXPECT_EQ(active.Test(&t), 1u);
    EXPECT_EQ(region.Test(&t), 1u);
    t.SetActive(false);
    EXPECT_EQ(active.Test(&t), 0u);
    // Other objects are never transforms.
    EXPECT_EQ(active.Test(&inside), 0u);
    EXPECT_EQ(region.Test(nullptr), 0u);
}

TEST(KaRektTrafo, AreaAndLengthAreMeasuredOnThePlane) {
    KaRektTrafo t;
    EXPECT_EQ(t.Area(), -1.0);
    t.GetRegion() = KaPolygon(KaRegion(0.0, 0.0, 2.0, 1.0));
    EXPECT_DOUBLE_EQ(t.Area(), 2.0);
    EXPECT_DOUBLE_EQ(t.Length(), 6.0);

    t.SetRektMat(Mat(3, {3, 0, 7, 0, 3, -4, 0, 0, 1})); // scale 3 and shift
    EXPECT_DOUBLE_EQ(t.Area(), 18.0);
    EXPECT_DOUBLE_EQ(t.Length(), 18.0);
    EXPECT_EQ(t.GetRegion().First()->x, 0.0); // the region itself stays

    // The principal point shift moves, but does not change, the measured region.
    t.SetDistortCameraParam(ShiftCamera());
    t.SetDistortCameraFlag(true);
    EXPECT_DOUBLE_EQ(t.Area(), 18.0);
    // The 4 x 4 matrix plays no part.
    t.SetTransMat(Mat(4, {5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 1}));
    EXPECT_DOUBLE_EQ(t.Length(), 18.0);
}

TEST(KaRektTrafo, CopiesReferToTheirOwnMeasuredPoints) {
    KaRektTrafo const full = FullTrafo();
    KaRektTrafo copy(full);
    EXPECT_EQ(copy.GetId(), 4u);
    EXPECT_STREQ(copy.GetName().chars(), "Wall east");
    EXPECT_EQ(copy.GetFlag(), full.GetFlag());
    EXPECT_EQ(copy.GetParallelDef().GetPointList(), &copy.GetBikoList());
    EXPECT_EQ(copy.GetParallelDef().GetDefLineList().Count(), 2);
    EXPECT_EQ(PlaneText(copy), PlaneText(full));

    KaRektTrafo assigned;
    assigned.SetId(9);
    assigned.SetName("mine");
    assigned = full;
    EXPECT_EQ(assigned.GetId(), 9u);
    EXPECT_STREQ(assigned.GetName().chars(), "mine");
    EXPECT_EQ(assigned.GetParallelDef().GetPointList(), &assigned.GetBikoList());
    EXPECT_TRUE(assigned.CompensateDistortion());
    EXPECT_EQ(assigned.GetRegion().Count(), 5);

    // The list copies its transforms the same way.
    KaRektTrafoList list;
    list.Add(full);
    KaRektTrafoList other(list);
    KaRektTrafo* t = other.First();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetParallelDef().GetPointList(), &t->GetBikoList());
}

TEST(KaRektTrafo, RektPlaneBlockIsWrittenReadAndWrittenAgainUnchanged) {
    KaRektTrafo const full = FullTrafo();
    auto const dir = std::filesystem::temp_directory_path() / "tarvis_rekt_test";
    std::filesystem::create_directories(dir);
    auto const path = dir / "rektplane.txt";
    std::string first;
    {
        KaWriterReset();
        std::ofstream file(path);
        WritePlane(file, full);
        WritePlane(file, KaRektTrafo()); // an empty one after it
    }
    {
        std::ifstream file(path);
        first.assign(std::istreambuf_iterator<char>(file), {});
    }
    // The entries in their order, the flags as 0 or 1.
    std::vector<std::string> order = {"REKTID",      "ACTIV",      "KAMERA",     "REGIONACTIV",
                                      "PARALLELDEF", "REKTTRAFO",  "TRAFO3D",    "DEFPOINTS",
                                      "DISTORTION",  "MEASPOINTS", "VALIDREGION"};
    size_t at = 0;
    for (std::string const& keyword : order) {
        size_t const found = first.find("\n    " + keyword + " ", at);
        ASSERT_NE(found, std::string::npos) << keyword;
        at = found;
    }
    EXPECT_NE(first.find("\n    ACTIV           1\n"), std::string::npos);
    EXPECT_NE(first.find("\n    REGIONACTIV     0\n"), std::string::npos);
    EXPECT_NE(first.find("DEFLINE      {          1          11          12           1 0}"),
              std::string::npos);
    // The empty transform has no parallel definition.
    EXPECT_EQ(first.find("PARALLELDEF", first.find("PARALLELDEF") + 1), std::string::npos);

    KaRektTrafoList list;
    {
        KaReader reader(String(path.string().c_str()));
        KaReaderObject plane("REKTPLANE", Link(&list, &KaRektTrafoList::AddTrafo));
        reader.RegisterObject(plane);
        reader.DoProcess(true);
        EXPECT_EQ(reader.GetReadErrorCount(), 0);
    }
    ASSERT_EQ(list.Count(), 2);
    KaRektTrafo const& read = *list.First();
    EXPECT_EQ(read.GetId(), 4u);
    EXPECT_STREQ(read.GetName().chars(), "Wall east");
    EXPECT_TRUE(read.IsActive());
    EXPECT_TRUE(read.CompensateDistortion());
    EXPECT_FALSE(read.IsRegionActive());
    EXPECT_DOUBLE_EQ(read.GetRektMat().GetElem(1, 1), 1.0 / 3.0);
    EXPECT_EQ(read.GetRektMat().GetElem(2, 3), 1234.5678);
    EXPECT_EQ(read.GetTransMat().GetElem(2, 4), 200.0);
    EXPECT_EQ(Ids(read.GetBikoList()), (std::vector<unsigned>{11, 12, 13}));
    EXPECT_EQ(read.GetDefPoints().GetPointList().Last()->z, 9.0);
    EXPECT_EQ(read.GetRegion().Count(), 5);
    EXPECT_EQ(read.GetDistortCameraParam().GetId(), 7u);
    EXPECT_EQ(read.GetParallelDef().GetPointList(), &read.GetBikoList());
    EXPECT_EQ(read.GetParallelDef().GetConstraintList().Count(), 1);
    KaPoint a, b;
    EXPECT_TRUE(read.GetParallelDef().GetLine(a, b, read.GetParallelDef().GetDefLineList().First()));
    KaRektTrafo const& empty = *list.Last();
    EXPECT_FALSE(empty.HasRegion());
    EXPECT_TRUE(empty.GetRektMat().IsIdent());

    KaWriterReset();
    std::ostringstream again;
    for (KaRektTrafo const* t = list.First(); t; t = t->Next())
        WritePlane(again, *t);
    EXPECT_EQ(again.str(), first);
    std::filesystem::remove_all(dir);
}

TEST(KaRektTrafo, RektPlaneEntriesAreReadInAnyOrder) {
    KaRektTrafoList list;
    // One entry: the unknown block, skipped and listed.
    EXPECT_EQ(ReadList(list, "REKTPLANE {\n"
                             "  VALIDREGION { 0 0  4 3 }\n"
                             "  UNKNOWN { 1 2 3 }\n"
                             "  MEASPOINTS { 21 1.5 2.5  22 3.5 4.5 }\n"
                             "  REKTTRAFO { 3 3  2 0 0  0 2 0  0 0 1 }\n"
                             "  TRAFO3D { 2 2  5 5 5 5 }\n"
                             "  REGIONACTIV 1\n"
                             "  REKTID { 6 \"late\" }\n"
                             "}\n"),
              1);
    ASSERT_EQ(list.Count(), 1);
    KaRektTrafo const& t = *list.First();
    EXPECT_EQ(t.GetId(), 6u);
    EXPECT_FALSE(t.IsActive()); // missing flags are 0
    EXPECT_FALSE(t.GetDistortCameraFlag());
    EXPECT_TRUE(t.IsRegionActive());
    EXPECT_EQ(t.GetRektMat().GetElem(1, 1), 2.0);
    // A matrix of the wrong size is not taken.
    EXPECT_TRUE(t.GetTransMat().IsIdent());
    EXPECT_EQ(t.GetTransMat().GetLines(), 4);
    // Two region points are a rectangle, numbered from 1.
    EXPECT_EQ(Ids(t.GetRegion().GetPointList()), (std::vector<unsigned>{1, 2, 3, 4}));
    // Two measured points stay two points with their own numbers.
    EXPECT_EQ(Ids(t.GetBikoList()), (std::vector<unsigned>{21, 22}));
    EXPECT_EQ(t.GetBikoList().Last()->y, 4.5);

    // Reading again into a used transform replaces its definition.
    KaRektTrafo used = FullTrafo();
    std::istringstream in("REKTPLANE { PARALLELDEF { DEFLINE { 5 11 13 0 0 } } KAMERA 1 }");
    KaReader reader(in, "again.txt");
    KaReaderObject plane("REKTPLANE", Link(&used, &KaRektTrafo::Read));
    reader.RegisterObject(plane);
    reader.DoProcess(true);
    EXPECT_EQ(used.GetParallelDef().GetDefLineList().Count(), 1);
    EXPECT_TRUE(used.CompensateDistortion());
    EXPECT_FALSE(used.IsActive());
}

TEST(KaRektTrafo, ReadsTheVersion50Layout) {
    std::ifstream file(DataDir + "/rekttrafo_v50.txt");
    ASSERT_TRUE(file.good());
    KaRektTrafoList list;
    EXPECT_EQ(ReadList(list, file), 0);
    ASSERT_EQ(list.Count(), 1);
    KaRektTrafo const& t = *list.First();
    EXPECT_EQ(t.GetId(), 3u);
    EXPECT_STREQ(t.GetName().chars(), "Facade north");
    EXPECT_TRUE(t.IsActive());
    EXPECT_TRUE(t.IsRegionActive());
    EXPECT_FALSE(t.GetDistortCameraFlag());

    KaMatrix const& m = t.GetRektMat();
    EXPECT_EQ(m.GetElem(1, 1), 3.0);
    EXPECT_EQ(m.GetElem(1, 2), 0.5);
    EXPECT_EQ(m.GetElem(1, 3), 10.0);
    EXPECT_EQ(m.GetElem(2, 1), 0.25);
    EXPECT_EQ(m.GetElem(2, 2), 2.0);
    EXPECT_EQ(m.GetElem(2, 3), 20.0);
    EXPECT_EQ(m.GetElem(3, 1), 0.002);
    EXPECT_EQ(m.GetElem(3, 2), 0.001);
    EXPECT_EQ(m.GetElem(3, 3), 1.0);
    EXPECT_EQ(t.GetTransMat().GetElem(3, 4), 5.0);
    EXPECT_EQ(t.GetRegion().Count(), 4);

    EXPECT_EQ(Ids(t.GetBikoList()), (std::vector<unsigned>{1, 2, 3, 4}));
    EXPECT_EQ(t.GetBikoList().Get(2)->x, 30.0);
    EXPECT_EQ(t.GetBikoList().Get(2)->y, 35.0);
    EXPECT_EQ(t.GetParallelDef().GetPointList(), &t.GetBikoList());

    // The definition points are the measured points in object space.
    KaPointList const& def = t.GetDefPoints().GetPointList();
    EXPECT_EQ(Ids(def), (std::vector<unsigned>{1, 2, 3, 4}));
    double const w = 0.002 * 1.0 + 0.001 * 2.0 + 1.0;
    EXPECT_DOUBLE_EQ(def.First()->x, (3.0 * 1.0 + 0.5 * 2.0 + 10.0) / w + 100.0);
    EXPECT_DOUBLE_EQ(def.First()->y, (0.25 * 1.0 + 2.0 * 2.0 + 20.0) / w + 200.0);
    EXPECT_DOUBLE_EQ(def.First()->z, 5.0);
    for (KaPoint const *p = def.First(), *q = t.GetBikoList().First(); p && q; p = p->Next(), q = q->Next()) {
        KaPoint mapped;
        t.Transform(q, &mapped);
        EXPECT_DOUBLE_EQ(p->x, mapped.x);
        EXPECT_DOUBLE_EQ(p->y, mapped.y);
    }

    // A record that breaks off adds nothing and is reported.
    KaRektTrafoList broken;
    EXPECT_EQ(ReadList(broken, "REKTTRAFO { 1 \"short\" 1 1 2 3 }\n"), 1);
    EXPECT_TRUE(broken.IsEmpty());
}
