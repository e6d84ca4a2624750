#include "rectify/KaDigitalRekt.h"

#include "measure/KaMeasure.h"
#include "model/KaOrthoPhoto.h"
#include "model/KaPhoto.h"
#include "numerics/KaTrafo2d.h"
#include "project/KaProject.h"
#include "rekt/KaRektTrafo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double Deg = std::numbers::pi / 180.0;

class TestMeasure : public KaMeasure {
public:
    explicit TestMeasure(KaProject* project) : KaVirtualProject(project), KaMeasure(project) {}
    using KaMeasure::operator=;
    bool IsAttrImageValid(unsigned int photoId) override { return photoId != invalidPhoto; }
    unsigned int invalidPhoto = 0;
};

class TestRekt : public KaDigitalRekt {
public:
    using KaDigitalRekt::KaDigitalRekt;
    KaOrthoPhoto* CalcRektPhoto() override {
        ++photosMade;
        return nullptr;
    }
    int photosMade = 0;
};

// Homogeneous 4 x 4 matrices.
KaMatrix RotX(double a) {
    KaMatrix m(4, 4);
    m.SetIdent();
    m.SetElem(2, 2, std::cos(a));
    m.SetElem(2, 3, -std::sin(a));
    m.SetElem(3, 2, std::sin(a));
    m.SetElem(3, 3, std::cos(a));
    return m;
}
KaMatrix RotZ(double a) {
    KaMatrix m(4, 4);
    m.SetIdent();
    m.SetElem(1, 1, std::cos(a));
    m.SetElem(1, 2, -std::sin(a));
    m.SetElem(2, 1, std::sin(a));
    m.SetElem(2, 2, std::cos(a));
    return m;
}
KaMatrix Shift(double x, double y, double z) {
    KaMatrix m(4, 4);
    m.SetIdent();
    m.SetElem(1, 4, x);
    m.SetElem(2, 4, y);
    m.SetElem(3, 4, z);
    return m;
}
KaMatrix Scale3(double s) {
    KaMatrix m(3, 3);
    m.SetIdent();
    m.SetElem(1, 1, s);
    m.SetElem(2, 2, s);
    return m;
}

class DigitalRektTest : public ::testing::Test {
protected:
    // A digital photo of 1000 x 800 pixels, selected for the rectification.
    KaPhoto* AddPhoto(unsigned int id) {
        auto* photo = new KaPhoto(id);
        photo->SetType(KaPhotoDigital);
        photo->SetDigiRegion(KaRegion(0.0, 0.0, 1000.0, 800.0));
        photo->SetFlag(PointFlagGuiCheckActive);
        return project.GetPhotoList().Add(photo);
    }
    static KaRektTrafo* AddTrafo(KaPhoto* photo, unsigned int id, KaMatrix const& trans,
                                 KaMatrix const& rekt = Scale3(0.25), bool active = true) {
        auto* trafo = new KaRektTrafo;
        trafo->SetId(id);
        trafo->SetRektMat(rekt);
        trafo->SetTransMat(trans);
        trafo->SetActive(active);
        return photo->AddRektTrafo(trafo);
    }
    std::vector<std::pair<unsigned int, unsigned int>> Planes() const {
        std::vector<std::pair<unsigned int, unsigned int>> out;
        for (KaRectPlane* p = rekt.GetMosaik().First(); p; p = p->Next())
            out.emplace_back(p->GetPhotoId(), p->GetRektId());
        return out;
    }

    KaProject project;
    TestMeasure measure{&project};
    TestRekt rekt{&measure};
};

using PlaneIds = std::vector<std::pair<unsigned int, unsigned int>>;

TEST_F(DigitalRektTest, KeepsTheLargestGroupOfNearlyParallelPlanes) {
    KaPhoto* one = AddPhoto(1);
    AddTrafo(one, 1, RotX(0.0));
    AddTrafo(one, 2, RotX(5 * Deg));
    AddTrafo(one, 3, RotX(10 * Deg)); // 10 degrees from the first, 5 from its predecessor
    AddTrafo(one, 4, RotX(40 * Deg)); // a group of its own
    AddTrafo(one, 5, RotX(0.0), Scale3(0.25), false);
    KaPhoto* two = AddPhoto(2);
    AddTrafo(two, 1, RotX(3 * Deg));
    KaPhoto* three = AddPhoto(3);
    AddTrafo(three, 1, RotX(0.0));
    three->ClearFlag(PointFlagGuiCheckActive);

    ASSERT_TRUE(rekt.BuildPlaneMosaik());
    EXPECT_EQ(Planes(), (PlaneIds{{1, 1}, {1, 2}, {1, 3}, {2, 1}}));
    EXPECT_EQ(rekt.GetSelPlanes(), 4);
    EXPECT_EQ(rekt.GetSelPhotos(), 2);
    EXPECT_EQ(rekt.GetUnconnectedCount(), 2); // (1, 1) and the inactive (1, 5)
    EXPECT_TRUE(rekt.CanCalcRekt());
    EXPECT_FALSE(rekt.IsNbrNotConnOk());

    // A tie: the group of the lower number stays.
    one->FindRektTrafo(1)->SetActive(false);
    one->FindRektTrafo(2)->SetActive(false);
    one->FindRektTrafo(3)->SetActive(false);
    two->FindRektTrafo(1)->SetTransMat(RotX(60 * Deg));
    ASSERT_TRUE(rekt.BuildPlaneMosaik());
    EXPECT_EQ(Planes(), (PlaneIds{{1, 4}}));
    EXPECT_TRUE(rekt.IsNbrNotConnOk());

    // A wider angle joins them.
    EXPECT_NEAR(rekt.SetMaxAngleDeg(25.0), 25 * Deg, 1e-12);
    EXPECT_NEAR(rekt.GetMaxAngleDeg(), 25.0, 1e-12);
    ASSERT_TRUE(rekt.BuildPlaneMosaik());
    EXPECT_EQ(Planes(), (PlaneIds{{1, 4}, {2, 1}}));

    // Planes without a valid image are dropped.
    measure.invalidPhoto = 2;
    EXPECT_TRUE(rekt.LoadBitmaps());
    EXPECT_EQ(Planes(), (PlaneIds{{1, 4}}));
}

TEST_F(DigitalRektTest, LaysPlanesOfOneObjectPlaneTogether) {
    // Plane 2 is plane 1 turned by 90 degrees in itself and shifted by (10, 5).
    KaMatrix const base = Shift(100, 200, 300) * RotZ(20 * Deg) * RotX(30 * Deg);
    KaMatrix const inPlane = Shift(10, 5, 0) * RotZ(90 * Deg);
    KaPhoto* photo = AddPhoto(1);
    AddTrafo(photo, 1, base);
    AddTrafo(photo, 2, base * inPlane);
    ASSERT_TRUE(rekt.BuildPlaneMosaik());
    ASSERT_EQ(rekt.GetSelPlanes(), 2);

    KaRectPlane* p1 = rekt.GetMosaik().First();
    KaRectPlane* p2 = p1->Next();
    for (auto [a, b] : {std::pair{0.0, 0.0}, {3.0, -2.0}, {-7.5, 4.0}}) {
        KaPoint q2(0, a, b);
        p2->GetConnectMatrix().PTrans2D(&q2);
        KaPoint q1(0, a, b);
        KaMatrix m(3, 3);
        m.SetIdent();
        m.SetElem(1, 1, 0.0);
        m.SetElem(1, 2, -1.0);
        m.SetElem(2, 1, 1.0);
        m.SetElem(2, 2, 0.0);
        m.SetElem(1, 3, 10.0);
        m.SetElem(2, 3, 5.0);
        m.PTrans2D(&q1);
        p1->GetConnectMatrix().PTrans2D(&q1);
        EXPECT_NEAR(q1.x, q2.x, 1e-9);
        EXPECT_NEAR(q1.y, q2.y, 1e-9);
    }
}

TEST_F(DigitalRektTest, RasterSizesAndScale) {
    KaDigitalRekt fresh(&measure);
    EXPECT_EQ(fresh.GetBitmapX(), 200);
    EXPECT_EQ(fresh.GetBitmapY(), 150);
    EXPECT_EQ(fresh.GetBitMapSize(), 90000);
    EXPECT_FALSE(fresh.CanCalcRekt());
    EXPECT_TRUE(fresh.IsNbrNotConnOk());
    fresh.BitmapScale() = 1e9; // far beyond 32 bits
    EXPECT_EQ(fresh.GetBitMapSize(), 0);

    // 1000 x 800 pixels at 0.25 plane units per image unit: 250 x 200.
    KaPhoto* photo = AddPhoto(1);
    AddTrafo(photo, 1, RotX(0.0));
    ASSERT_TRUE(rekt.BuildPlaneMosaik());
    EXPECT_NEAR(rekt.GetMosaik().Width(), 250.0, 1e-9);
    EXPECT_NEAR(rekt.GetMosaik().Height(), 200.0, 1e-9);
    EXPECT_NEAR(rekt.GetDefaultBitmapX(), 1000, 1);
    EXPECT_NEAR(rekt.GetDefaultBitmapY(), 800, 1);
    rekt.BitmapScale() = 50.0;
    EXPECT_NEAR(rekt.GetBitmapX(), 500, 1);

    // A wide raster: the height decides; extend leaves the box alone then.
    ASSERT_TRUE(rekt.CalcRektMatrixes(KaSize{1000, 400}, true));
    EXPECT_DOUBLE_EQ(rekt.GetScale(), 2.0);
    EXPECT_NEAR(rekt.GetMosaik().GetMax().x, 500.0, 1e-9);
    EXPECT_NEAR(rekt.GetMosaik().GetMax().y, 400.0, 1e-9);
    // A tall raster: the width decides and extend grows the box in y. Asking
    // again starts from the mosaic, not from the last output.
    ASSERT_TRUE(rekt.CalcRektMatrixes(KaSize{100, 400}, true));
    EXPECT_DOUBLE_EQ(rekt.GetScale(), 0.4);
    EXPECT_NEAR(rekt.GetMosaik().GetMin().x, 0.0, 1e-9);
    EXPECT_NEAR(rekt.GetMosaik().GetMax().x, 100.0, 1e-9);
    EXPECT_NEAR(rekt.GetMosaik().GetMax().y, 400.0, 1e-9);
    // The output matrix now takes output pixels back to mosaic coordinates.
    KaPoint corner(0, 100.0, 0.0);
    rekt.GetOutputMatrix().PTrans2D(&corner);
    EXPECT_NEAR(corner.x, 250.0, 1e-6);

    // An empty mosaic has no extent: no scale, the matrices keep scale 1.
    EXPECT_FALSE(fresh.CalcRektScale(KaSize{100, 100}, false));
    EXPECT_TRUE(fresh.CalcRektMatrixes(KaSize{100, 100}, false));
    EXPECT_DOUBLE_EQ(fresh.GetScale(), 1.0);
}

TEST_F(DigitalRektTest, OutputPixelsMapBackToTheirPhotoPixels) {
    // Pixels to millimetres with y turned over, a projective rectification and
    // a turned and shifted object plane.
    KaPhoto* photo = AddPhoto(1);
    KaTrafo2d pixelToImage;
    pixelToImage.type = KaTrafo2DAffin;
    double const p[] = {-50.0, 0.1, 0.0, 40.0, 0.0, -0.1};
    std::copy(std::begin(p), std::end(p), pixelToImage.p);
    photo->SetReseauMainTrafo(KaReseauTrafo(pixelToImage));
    KaMatrix h(3, 3);
    double const hv[3][3] = {{0.5, 0.05, 10.0}, {0.02, 0.6, -5.0}, {0.001, 0.002, 1.0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            h.SetElem(i + 1, j + 1, hv[i][j]);
    AddTrafo(photo, 1, Shift(100, 200, 300) * RotZ(20 * Deg) * RotX(30 * Deg), h);
    AddTrafo(photo, 2, RotX(0.0), h, false);

    ASSERT_TRUE(rekt.BuildPlaneMosaik(1, 1));
    EXPECT_FALSE(rekt.BuildPlaneMosaik(1, 9));
    ASSERT_TRUE(rekt.BuildPlaneMosaik(1, 1));
    ASSERT_TRUE(rekt.CalcRektMatrixes(KaSize{600, 600}, false));
    double const scale = rekt.GetScale();
    ASSERT_GT(scale, 0.0);
    KaRectPlane const* plane = rekt.GetMosaik().First();
    KaRektTrafo const* trafo = plane->GetRektTrafo();

    // Output distances are object distances times the scale.
    KaPoint const out[] = {KaPoint(0, 120.0, 80.0), KaPoint(0, 410.0, 150.0), KaPoint(0, 260.0, 390.0)};
    std::vector<KaPoint> object;
    for (KaPoint const& o : out) {
        KaPoint q(o);
        ASSERT_TRUE(plane->GetMappingMatrix().PTrans2D(&q));
        photo->ConvertBiko(&q, CB_PIXEL_TO_BIKO);
        trafo->Transform(&q, &q);
        object.push_back(q);
    }
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j) {
            double const dOut = std::hypot(out[i].x - out[j].x, out[i].y - out[j].y);
            double const dObj =
                std::sqrt(std::pow(object[i].x - object[j].x, 2) + std::pow(object[i].y - object[j].y, 2) +
                          std::pow(object[i].z - object[j].z, 2));
            EXPECT_NEAR(dObj * scale, dOut, 1e-6);
        }

    // The photo corners land on the edges of the output box.
    KaPoint corner(0, 0.0, 0.0);
    KaMatrix forward(plane->GetMappingMatrix());
    int err = 0;
    forward.Invert(&err);
    ASSERT_EQ(err, 0);
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (auto [x, y] : {std::pair{0.0, 0.0}, {1000.0, 0.0}, {1000.0, 800.0}, {0.0, 800.0}}) {
        KaPoint c(0, x, y);
        forward.PTrans2D(&c);
        minX = std::min(minX, c.x);
        minY = std::min(minY, c.y);
        maxX = std::max(maxX, c.x);
        maxY = std::max(maxY, c.y);
    }
    EXPECT_NEAR(minX, 0.0, 1e-6);
    EXPECT_NEAR(minY, 0.0, 1e-6);
    EXPECT_NEAR(std::max(maxX, maxY), 600.0, 1e-6);
}

TEST_F(DigitalRektTest, SinglePlaneBitmapScaleIsLimited) {
    KaPhoto* photo = AddPhoto(1);
    AddTrafo(photo, 1, RotX(0.0)); // 250 units over 1000 native pixels

    EXPECT_EQ(rekt.DoCalcSinglePlane(1, 7, 0.25), nullptr);
    EXPECT_EQ(rekt.photosMade, 0);
    rekt.DoCalcSinglePlane(1, 1, 0.5);
    EXPECT_EQ(rekt.photosMade, 1);
    EXPECT_NEAR(rekt.BitmapScale(), 50.0, 0.1);
    rekt.DoCalcSinglePlane(1, 1, 1e-6);
    EXPECT_DOUBLE_EQ(rekt.BitmapScale(), 1000.0);
    rekt.DoCalcSinglePlane(1, 1, 1e6);
    EXPECT_DOUBLE_EQ(rekt.BitmapScale(), 2.0);
    rekt.DoCalcSinglePlane(1, 1, 0.0);
    EXPECT_DOUBLE_EQ(rekt.BitmapScale(), 100.0);
}

TEST_F(DigitalRektTest, OrthophotoSelectsAndOrdersItsPlanes) {
    KaPhoto* one = AddPhoto(1);
    AddTrafo(one, 1, RotX(0.0));
    AddTrafo(one, 2, RotX(0.0));
    AddTrafo(one, 3, RotX(0.0), Scale3(0.25), false);
    KaPhoto* two = AddPhoto(2);
    AddTrafo(two, 1, RotX(0.0));
    KaPhoto* three = AddPhoto(3);
    AddTrafo(three, 1, RotX(0.0));

    KaOrthoPhoto ortho(50);
    ortho.SetMaxAngle(20.0);
    for (auto [photoId, rektId] : {std::pair{2u, 1u}, {1u, 3u}, {1u, 1u}}) {
        auto* info = new KaRektPlaneInfo;
        info->SetPhoto(KaObject(photoId));
        info->SetRekt(KaObject(rektId));
        ortho.RektPlaneList().Add(info);
    }
    EXPECT_FALSE(rekt.BuildPlaneMosaik(static_cast<KaOrthoPhoto const*>(nullptr)));
    ASSERT_TRUE(rekt.BuildPlaneMosaik(&ortho));
    EXPECT_NEAR(rekt.GetMaxAngleDeg(), 20.0, 1e-12);
    EXPECT_EQ(Planes(), (PlaneIds{{2, 1}, {1, 3}, {1, 1}}));
    EXPECT_FALSE(one->FindRektTrafo(2)->IsActive());
    EXPECT_FALSE(three->IsFlagSet(PointFlagGuiCheckActive));

    rekt.SaveMosaik();
    rekt.TopPlane(rekt.GetMosaik().Last());
    EXPECT_EQ(Planes(), (PlaneIds{{1, 1}, {2, 1}, {1, 3}}));
    rekt.RestoreMosaik();
    EXPECT_EQ(Planes(), (PlaneIds{{2, 1}, {1, 3}, {1, 1}}));
}

} // namespace
