#include "rekt/KaRektPlane.h"

#include "model/KaPhoto.h"
#include "rekt/KaRektTrafo.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string const kDataDir = TARVIS_TEST_DATA_DIR;

KaMatrix Mat(int n, std::vector<double> const& rowMajor) {
    KaMatrix m(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            m.SetElem(i, j, rowMajor[static_cast<size_t>((i - 1) * n + (j - 1))]);
    return m;
}

// 0.01 mm a pixel, y upwards, the origin in the middle of a 10000 x 12000 scan.
KaReseauTrafo PixelToMillimetre(eKaTrafo2DType type) {
    KaReseauTrafo t;
    t.type = type;
    if (type == KaTrafo2DPolynomial) {
        t.p[0] = -50.0, t.p[1] = 0.01, t.p[10] = 60.0, t.p[12] = -0.01;
    } else {
        double const p[6] = {-50.0, 0.01, 0.0, 60.0, 0.0, -0.01};
        std::copy(std::begin(p), std::end(p), t.p);
    }
    return t;
}

void Configure(KaPhoto& photo, eKaTrafo2DType type = KaTrafo2DAffin) {
    photo.SetName("images/p5.tif");
    photo.SetReseauMainTrafo(PixelToMillimetre(type));
    photo.SetDigiRegion(KaRegion(0.0, 0.0, 10000.0, 12000.0));
}

// A projective image-to-plane matrix and the plane as the wall
// X = x + 100, Y = 200, Z = y.
void Configure(KaRektTrafo& trafo) {
    trafo.SetId(2);
    trafo.SetName("Wall east");
    trafo.SetRektMat(Mat(3, {2.0, 0.1, 3.0, -0.2, 1.5, 1.0, 0.001, 0.002, 1.0}));
    trafo.SetTransMat(Mat(4, {1, 0, 0, 100, 0, 0, 0, 200, 0, 1, 0, 0, 0, 0, 0, 1}));
}

void ExpectNear(KaPoint const& a, KaPoint const& b, double eps) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

// Reads every "PLANEINFO" entry of the text into list.
int ReadInfos(KaRektPlaneInfoList& list, std::istream& in) {
    KaReader reader(in, "planes.txt");
    KaReaderObject plane("PLANEINFO", Link(&list, &KaRektPlaneInfoList::AddPlane));
    reader.RegisterObject(plane);
    reader.DoProcess(true);
    return reader.GetReadErrorCount();
}

std::string WriteInfos(KaRektPlaneInfoList const& list) {
    KaWriterReset();
    std::ostringstream os;
    for (KaRektPlaneInfo const* info = list.First(); info; info = info->Next()) {
        os << s12 << "PLANEINFO" << Kaendl << KaBeginBlockNL;
        info->Write(os);
        os << KaEndBlockNL << Kaendl;
    }
    return os.str();
}

KaRektPlaneInfo Info(unsigned int photo, unsigned int rekt, KaRegion const& range) {
    KaRektPlaneInfo info;
    info.SetPhoto(KaObject(photo, "p"));
    info.SetRekt(KaObject(rekt, "r"));
    info.GetRange() = KaPolygon(range);
    return info;
}

} // namespace

TEST(KaRectPlane, CoversTheDigitizingRegionWithoutValidRegion) {
    KaPhoto photo(5);
    Configure(photo);
    KaRektTrafo trafo;
    Configure(trafo);
    KaRectPlane plane(&photo, &trafo);

    EXPECT_EQ(plane.GetPhotoId(), 5u);
    EXPECT_EQ(plane.GetRektId(), 2u);
    EXPECT_EQ(&plane.GetRektMat(), &trafo.GetRektMat());
    EXPECT_EQ(plane.GetRektRangeBiko(), &trafo.GetRegion());
    EXPECT_TRUE(plane.GetConnectMatrix().IsIdent());

    // Four image corners; the box is the digitizing region in image coordinates.
    ASSERT_EQ(plane.GetBikoPolygon().Count(), 4);
    KaRegion const biko = photo.GetBikoRegion();
    EXPECT_NEAR(plane.GetBikoPolygon().GetMinCorner().x, std::min(biko.Left(), biko.Right()), 1e-9);
    EXPECT_NEAR(plane.GetBikoPolygon().GetMaxCorner().y, std::max(biko.Bottom(), biko.Top()), 1e-9);
    // Pixel y runs downwards: the rectangle spans (0, 0) and (10000, -12000), sorted.
    EXPECT_NEAR(plane.PixelRect().Left(), 0.0, 1e-9);
    EXPECT_NEAR(plane.PixelRect().Top(), 0.0, 1e-9);
    EXPECT_NEAR(plane.PixelRect().Width(), 10000.0, 1e-6);
    EXPECT_NEAR(plane.PixelRect().Height(), 12000.0, 1e-6);

    // The pixel-to-image matrix is the photo's own conversion.
    KaPoint viaMatrix(1, 2500.0, 700.0), viaPhoto(viaMatrix);
    plane.GetPixelToBikoMatrix().PTrans2D(&viaMatrix);
    photo.ConvertBiko(&viaPhoto, CB_PIXEL_TO_BIKO);
    ExpectNear(viaMatrix, viaPhoto, 1e-9);

    // A polynomial reseau transformation has no matrix form.
    Configure(photo, KaTrafo2DPolynomial);
    EXPECT_TRUE(KaRectPlane(&photo, &trafo).GetPixelToBikoMatrix().IsIdent());

    KaRectPlane empty(nullptr, nullptr);
    EXPECT_EQ(empty.GetPhotoId(), 0u);
    EXPECT_EQ(empty.GetRektId(), 0u);
    EXPECT_TRUE(empty.GetRektMat().IsIdent());
    EXPECT_EQ(empty.GetRektRangeBiko(), nullptr);
    EXPECT_EQ(empty.GetBikoPolygon().Count(), 0);
}

TEST(KaRectPlane, BorderRemovesDistortionAndAppends) {
    KaPhoto photo(5);
    Configure(photo);
    KaRektTrafo trafo;
    trafo.SetDistortCameraFlag(true);
    KaCamera const camera(3, 100.0, 0.5, -0.25, -3e-6, 0.0, 40.0, "wide");
    trafo.SetDistortCameraParam(camera);
    KaRectPlane plane(&photo, &trafo);
    ASSERT_EQ(plane.GetBikoPolygon().Count(), 36);

    KaMatrix const mapping = Mat(3, {2, 0, 10, 0, 2, -5, 0, 0, 1});
    plane.SetMappingMatrix(mapping);
    plane.CalcRektBorder();
    ASSERT_EQ(plane.Count(), 36);
    for (KaPoint const *b = plane.GetBikoPolygon().First(), *p = plane.First(); b;
         b = b->Next(), p = p->Next()) {
        KaPoint expected(*b);
        camera.Adjust(&expected.x, &expected.y);
        mapping.PTrans2D(&expected);
        ExpectNear(*p, expected, 1e-9);
    }
    plane.CalcRektBorder();
    EXPECT_EQ(plane.Count(), 72);

    KaRectPlane copy(plane);
    EXPECT_EQ(copy.Count(), 72);
    EXPECT_EQ(copy.GetRektTrafo(), &trafo);
    EXPECT_EQ(copy.GetMappingMatrix().GetElem(1, 3), 10.0);
}

// An output pixel maps through the info to the object point that the transform
// gives for the image point painted there.
TEST(KaRektPlaneInfo, ChainsOutputToObjectCoordinates) {
    KaPhoto photo(5);
    Configure(photo);
    KaRektTrafo trafo;
    Configure(trafo);
    KaRectPlane plane(&photo, &trafo);

    double const a = 0.3, c = std::cos(a), s = std::sin(a);
    plane.SetConnectMatrix(Mat(3, {c, -s, 12.0, s, c, -4.0, 0, 0, 1}));
    plane.SetMappingMatrix(plane.GetConnectMatrix() * trafo.GetRektMat());
    plane.CalcRektBorder();
    // Mosaic to output pixels and back.
    KaMatrix const toOutput = Mat(3, {4, 0, -20, 0, 4, 8, 0, 0, 1});
    KaMatrix toMosaic(toOutput);
    int err = 0;
    toMosaic.Invert(&err);
    ASSERT_EQ(err, 0);

    KaRektPlaneInfo const info(toMosaic, &plane);
    EXPECT_EQ(info.GetPhotoId(), 5u);
    EXPECT_EQ(info.GetRekt().GetId(), 2u);
    EXPECT_STREQ(info.GetPhoto().GetName().chars(), "images/p5.tif");
    EXPECT_STREQ(info.GetRekt().GetName().chars(), "Wall east");
    EXPECT_EQ(info.GetRange().Count(), 4);
    EXPECT_NEAR(info.GetRange().GetMaxCorner().x, plane.GetRegion().Right(), 1e-9);

    for (auto [x, y] : {std::pair{0.0, 0.0}, {-30.0, 45.0}, {20.0, -10.0}}) {
        KaPoint image(1, x, y), object(image);
        trafo.Transform(&image, &object);
        KaPoint out(image);
        plane.GetMappingMatrix().PTrans2D(&out);
        toOutput.PTrans2D(&out);
        EXPECT_TRUE(info.Transform(&out));
        ExpectNear(out, object, 1e-8);
    }
    EXPECT_FALSE(info.Transform(nullptr));
}

TEST(KaRektPlaneInfoList, FindsAndTransformsByRange) {
    KaRektPlaneInfoList list;
    list.Add(Info(3, 7, KaRegion(0, 0, 10, 10)));
    list.Add(Info(5, 2, KaRegion(10, 0, 20, 10)));
    list.Add(Info(3, 9, KaRegion(20, 0, 30, 10)));
    list.Last()->SetTransformation(Mat(4, {1, 0, 0, 100, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));

    EXPECT_EQ(list.FindPlane(3, 0), list.First());
    EXPECT_EQ(list.FindPlane(3, 9), list.Last());
    EXPECT_EQ(list.FindPlane(4, 0), nullptr);
    EXPECT_EQ(list.FindPlane(KaPoint(0, 15.0, 5.0)), list.Get(1));

    KaPoint p(1, 25.0, 5.0, 1.0);
    EXPECT_TRUE(list.Transform(&p));
    EXPECT_DOUBLE_EQ(p.x, 125.0);
    KaPoint outside(1, 45.0, 5.0, 1.0);
    EXPECT_FALSE(list.Transform(&outside));
    EXPECT_EQ(outside.x, 45.0);
    EXPECT_EQ(list.FindPlane(outside), nullptr);
}

TEST(KaRektPlaneInfo, ReadsHandWrittenRecords) {
    KaRektPlaneInfoList list;
    std::ifstream in(kDataDir + "/plane_info.txt");
    ASSERT_TRUE(in);
    EXPECT_EQ(ReadInfos(list, in), 0);
    ASSERT_EQ(list.Count(), 2);

    KaRektPlaneInfo const& wall = *list.First();
    EXPECT_EQ(wall.GetPhotoId(), 5u);
    EXPECT_EQ(wall.GetRektId(), 2u);
    EXPECT_STREQ(wall.GetRekt().GetName().chars(), "Wall east");
    EXPECT_EQ(wall.GetRange().Count(), 4);
    KaPoint p(0, 10.0, 20.0);
    ASSERT_TRUE(wall.Overlap(p));
    wall.Transform(&p);
    ExpectNear(p, KaPoint(0, 110.0, 200.0, 20.0), 1e-12);

    KaRektPlaneInfo const& gable = *list.Last();
    EXPECT_TRUE(gable.GetTransformation().IsIdent());
    EXPECT_EQ(gable.GetRange().Count(), 3);
    EXPECT_TRUE(gable.Overlap(KaPoint(0, 130.0, 40.0)));
    EXPECT_FALSE(gable.Overlap(KaPoint(0, 101.0, 40.0)));
}

TEST(KaRektPlaneInfo, WritesReadsAndWritesAgainByteForByte) {
    KaRektPlaneInfoList list;
    {
        std::ifstream in(kDataDir + "/plane_info.txt");
        ReadInfos(list, in);
    }
    // A name the tokenizer could not read back stays readable.
    list.First()->SetPhoto(KaObject(5, "say \"hi\""));
    list.Last()->SetTransformation(
        Mat(4, {1.0 / 3.0, 0, 0, 1e-7, 0, 2, 0, 123456.789, 0, 0, 1, 0, 0, 0, 0, 1}));
    std::string const first = WriteInfos(list);
    EXPECT_NE(first.find("PHOTOID         {    5 \"say 'hi'\"}\n"), std::string::npos) << first;

    namespace fs = std::filesystem;
    fs::path const dir = fs::temp_directory_path() / "tarvis_plane_test";
    fs::create_directories(dir);
    {
        std::ofstream out(dir / "planes.txt", std::ios::binary);
        out << first;
    }
    KaRektPlaneInfoList back;
    std::ifstream in(dir / "planes.txt");
    EXPECT_EQ(ReadInfos(back, in), 0);
    EXPECT_EQ(WriteInfos(back), first);

    // A transformation of another size is not taken over.
    std::istringstream bad("PLANEINFO { TRANSFORMATION { 3 3 1 0 0 0 1 0 0 0 1 } }");
    KaRektPlaneInfoList damaged;
    ReadInfos(damaged, bad);
    ASSERT_EQ(damaged.Count(), 1);
    EXPECT_EQ(damaged.First()->GetTransformation().GetLines(), 4);
    KaRektPlaneInfo copy;
    copy = *damaged.First();
    EXPECT_TRUE(copy.GetTransformation().IsIdent());
    fs::remove_all(dir);
}
