#include "model/KaOrthoPhoto.h"

#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string const kDataDir = TARVIS_TEST_DATA_DIR;

KaMatrix Mat4(std::vector<double> const& rowMajor) {
    KaMatrix m(4, 4);
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j)
            m.SetElem(i, j, rowMajor[static_cast<size_t>((i - 1) * 4 + (j - 1))]);
    return m;
}

// Shifts x by dx.
KaMatrix ShiftX(double dx) {
    return Mat4({1, 0, 0, dx, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

KaRektPlaneInfo* AddPlane(KaOrthoPhoto& ortho, unsigned int photo, KaRegion const& range, KaMatrix const& m) {
    auto* info = new KaRektPlaneInfo;
    info->SetPhoto(KaObject(photo, "images/p.tif"));
    info->SetRekt(KaObject(1, "plane"));
    info->GetRange() = KaPolygon(range);
    info->SetTransformation(m);
    return ortho.RektPlaneList().Add(info);
}

// Reads every "ORTHOPHOTO" block of a file into a list.
struct OrthoFile : LinkHdl {
    KaOrthoPhotoList photos;
    int errors = 0;

    explicit OrthoFile(std::string const& path) {
        KaReader reader{String(path.c_str())};
        KaReaderObject ortho("ORTHOPHOTO", Link(this, &OrthoFile::Add));
        reader.RegisterObject(ortho);
        reader.DoProcess(true);
        errors = reader.GetReadErrorCount();
    }
    long Add(void* arg) {
        photos.AddPhoto(static_cast<KaReaderObject*>(arg));
        return 1;
    }
};

// The orthophoto as the project writes it.
std::string OrthoBlock(KaOrthoPhoto const& ortho) {
    KaWriterReset();
    std::ostringstream os;
    os << "ORTHOPHOTO" << Kaendl << KaBeginBlockNL;
    ortho.Write(os);
    os << KaEndBlockNL << Kaendl;
    return os.str();
}

} // namespace

TEST(KaOrthoPhoto, StartsDigitalWithItsDefaults) {
    KaOrthoPhoto ortho(4);
    EXPECT_EQ(ortho.GetId(), 4u);
    EXPECT_TRUE(ortho.IsOrthoPhoto());
    EXPECT_TRUE(ortho.IsDigital());
    EXPECT_EQ(ortho.GetStatPixel(), 0);
    EXPECT_EQ(ortho.GetStatTime(), 1.0);
    EXPECT_EQ(ortho.GetMaxAngle(), 9.0);
    EXPECT_TRUE(ortho.RektPlaneList().IsEmpty());
    EXPECT_FALSE(KaPhoto(4).IsOrthoPhoto());
}

TEST(KaOrthoPhoto, PixelSizeIsObjectWidthPerPixel) {
    KaOrthoPhoto ortho(1);
    ortho.SetDigiRegion(KaRegion(0, 0, 1000, 800));
    ortho.SetObjectRegion(KaRegion(100, 0, 150, 40));
    KaPhoto const& photo = ortho; // through the virtual slot
    EXPECT_DOUBLE_EQ(photo.GetPixelSize(), 0.05);
    ortho.SetDigiRegion(KaRegion(0, 0, 0, 800));
    EXPECT_DOUBLE_EQ(photo.GetPixelSize(), 50.0);
}

TEST(KaOrthoPhoto, TransformsThroughItsPlanes) {
    KaOrthoPhoto ortho(1);
    KaPoint p(1, 500.0, 5.0, 2.0);
    EXPECT_FALSE(ortho.Transform(&p));
    EXPECT_FALSE(ortho.Transform(nullptr));

    // One plane maps every point, inside its range or not.
    AddPlane(ortho, 5, KaRegion(0, 0, 10, 10), ShiftX(100));
    EXPECT_TRUE(ortho.Transform(&p));
    EXPECT_DOUBLE_EQ(p.x, 600.0);
    EXPECT_DOUBLE_EQ(p.z, 2.0);

    // With two, only the plane whose range holds the point.
    AddPlane(ortho, 6, KaRegion(10, 0, 20, 10), ShiftX(1000));
    KaPoint outside(1, 500.0, 5.0);
    EXPECT_FALSE(ortho.Transform(&outside));
    EXPECT_EQ(outside.x, 500.0);
    KaPoint inside(1, 15.0, 5.0);
    EXPECT_TRUE(ortho.Transform(&inside));
    EXPECT_DOUBLE_EQ(inside.x, 1015.0);
}

TEST(KaOrthoPhoto, ImageCornersGoThroughTheFirstPlane) {
    KaOrthoPhoto ortho(1);
    ortho.SetDigiRegion(KaRegion(0, 0, 1000, 800));
    KaPoint c[4] = {KaPoint(9, 1, 2, 3), KaPoint(9, 1, 2, 3), KaPoint(9, 1, 2, 3), KaPoint(9, 1, 2, 3)};
    EXPECT_FALSE(ortho.GetImageCorners(&c[0], &c[1], &c[2], &c[3]));
    EXPECT_EQ(c[2].x, 1.0);
    EXPECT_EQ(c[2].z, 3.0);

    // Pixels to a wall: X = 0.05 x + 100, Y = 200, Z = 0.05 y.
    AddPlane(ortho, 5, KaRegion(0, 0, 1000, 800),
             Mat4({0.05, 0, 0, 100, 0, 0, 0, 200, 0, 0.05, 0, 0, 0, 0, 0, 1}));
    AddPlane(ortho, 6, KaRegion(0, 0, 1000, 800), ShiftX(7));
    EXPECT_FALSE(ortho.GetImageCorners(&c[0], &c[1], nullptr, &c[3]));
    ASSERT_TRUE(ortho.GetImageCorners(&c[0], &c[1], &c[2], &c[3]));
    double const expected[4][3] = {{100, 200, 0}, {150, 200, 0}, {150, 200, 40}, {100, 200, 40}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(c[i].x, expected[i][0], 1e-12) << i;
        EXPECT_NEAR(c[i].y, expected[i][1], 1e-12) << i;
        EXPECT_NEAR(c[i].z, expected[i][2], 1e-12) << i;
    }
}

TEST(KaOrthoPhoto, CopiesKeepThePlanes) {
    KaOrthoPhoto ortho(2);
    ortho.SetStatPixel(77);
    ortho.SetMaxAngle(4.5);
    ortho.SetObjectRegion(KaRegion(1, 2, 3, 4));
    AddPlane(ortho, 5, KaRegion(0, 0, 10, 10), ShiftX(100));

    KaOrthoPhoto copy(ortho);
    EXPECT_TRUE(copy.IsDigital());
    EXPECT_EQ(copy.GetStatPixel(), 77);
    EXPECT_EQ(copy.GetMaxAngle(), 4.5);
    EXPECT_EQ(copy.GetObjectRegion(), KaRegion(1, 2, 3, 4));
    ASSERT_EQ(copy.RektPlaneList().Count(), 1);
    EXPECT_NE(copy.RektPlaneList().First(), ortho.RektPlaneList().First());

    KaOrthoPhoto assigned(9);
    AddPlane(assigned, 6, KaRegion(0, 0, 1, 1), ShiftX(1));
    AddPlane(assigned, 7, KaRegion(0, 0, 1, 1), ShiftX(1));
    assigned = ortho;
    EXPECT_EQ(assigned.GetId(), 2u);
    ASSERT_EQ(assigned.RektPlaneList().Count(), 1);
    EXPECT_EQ(assigned.RektPlaneList().First()->GetPhotoId(), 5u);

    KaOrthoPhotoList list;
    list.Add(ortho);
    KaOrthoPhotoList listCopy(list);
    EXPECT_EQ(listCopy.First()->RektPlaneList().Count(), 1);
}

TEST(KaOrthoPhoto, ReadsAHandWrittenBlock) {
    OrthoFile file(kDataDir + "/ortho_photo.pro");
    EXPECT_EQ(file.errors, 0);
    ASSERT_EQ(file.photos.Count(), 1);
    KaOrthoPhoto const& ortho = *file.photos.First();
    EXPECT_EQ(ortho.GetId(), 3u);
    EXPECT_STREQ(ortho.GetName().chars(), "ortho/facade.tif");
    EXPECT_STREQ(ortho.GetComment().chars(), "Facade south");
    EXPECT_TRUE(ortho.IsDigital());
    EXPECT_FALSE(ortho.IsActive()); // "STATE" is no orthophoto entry
    EXPECT_EQ(ortho.GetStatPixel(), 480000);
    EXPECT_EQ(ortho.GetStatTime(), 2.5);
    EXPECT_EQ(ortho.GetScale(), 50.0);
    EXPECT_EQ(ortho.GetMaxAngle(), 12.0);
    EXPECT_EQ(ortho.GetDigiRegion(), KaRegion(0, 0, 1000, 800));
    EXPECT_DOUBLE_EQ(ortho.GetPixelSize(), 0.05);
    ASSERT_EQ(ortho.RektPlaneList().Count(), 2);
    EXPECT_EQ(ortho.RektPlaneList().FindPlane(6, 0), ortho.RektPlaneList().Last());

    KaPoint p(0, 200.0, 400.0);
    EXPECT_TRUE(ortho.Transform(&p));
    EXPECT_NEAR(p.x, 110.0, 1e-12);
    EXPECT_NEAR(p.y, 200.0, 1e-12);
    EXPECT_NEAR(p.z, 20.0, 1e-12);
}

TEST(KaOrthoPhoto, WritesReadsAndWritesAgainByteForByte) {
    OrthoFile sample(kDataDir + "/ortho_photo.pro");
    ASSERT_EQ(sample.photos.Count(), 1);
    KaOrthoPhoto ortho(*sample.photos.First());
    ortho.SetComment("a \"quoted\" comment");
    ortho.SetStatTime(0.125);
    ortho.SetScale(1234.5678901234); // all digits survive, whatever was written before
    ortho.RektPlaneList().Last()->SetTransformation(ShiftX(1.0 / 3.0));

    std::string const first = OrthoBlock(ortho);
    EXPECT_NE(first.find("    ID              {    3 \"ortho/facade.tif\"}\n"), std::string::npos) << first;
    EXPECT_NE(first.find("    COMMENT         \"a 'quoted' comment\"\n"), std::string::npos) << first;
    EXPECT_LT(first.find("PLANEANGLE"), first.find("PIXELSIZE"));
    EXPECT_LT(first.find("OBJECTSIZE"), first.find("PLANEINFO"));

    namespace fs = std::filesystem;
    fs::path const dir = fs::temp_directory_path() / "tarvis_ortho_test";
    fs::create_directories(dir);
    {
        std::ofstream out(dir / "ortho.pro", std::ios::binary);
        out << first;
    }
    OrthoFile back((dir / "ortho.pro").string());
    EXPECT_EQ(back.errors, 0);
    ASSERT_EQ(back.photos.Count(), 1);
    EXPECT_EQ(back.photos.First()->RektPlaneList().Count(), 2);
    EXPECT_EQ(back.photos.First()->GetScale(), 1234.5678901234);
    EXPECT_EQ(OrthoBlock(*back.photos.First()), first);
    fs::remove_all(dir);
}
