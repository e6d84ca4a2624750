#include "rekt/KaRektPhotoOps.h"

#include "model/KaPhoto.h"
#include "rekt/KaRektTrafo.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Scanner pixels to millimetres: 0.01 mm a pixel, y turned upwards, the origin
// in the middle of a 10000 x 12000 pixel scan.
KaReseauTrafo PixelToMillimetre() {
    KaReseauTrafo t;
    t.type = KaTrafo2DAffin;
    double const p[6] = {-50.0, 0.01, 0.0, 60.0, 0.0, -0.01};
    std::copy(std::begin(p), std::end(p), t.p);
    return t;
}

void Configure(KaPhoto& photo, eKaPhototype type) {
    photo.SetType(type);
    photo.SetActiveFlag(0);
    photo.SetReseauMainTrafo(PixelToMillimetre());
    photo.SetDigiRegion(KaRegion(0.0, 0.0, 10000.0, 12000.0));
}

KaCamera DistortionCamera() {
    return KaCamera(3, 100.0, 0.0, 0.0, -3e-6, 0.0, 40.0, "wide");
}

} // namespace

TEST(KaGetRektBikoPoints, TakesTheValidRegionAsItIs) {
    KaPhoto photo(1);
    Configure(photo, KaPhotoDigital);
    KaRektTrafo trafo;
    trafo.SetDistortCameraFlag(true);
    trafo.SetDistortCameraParam(DistortionCamera());
    trafo.GetRegion().AddPoint(KaPoint(7, 1.0, 2.0));
    trafo.GetRegion().AddPoint(KaPoint(8, 5.0, 2.0));
    trafo.GetRegion().AddPoint(KaPoint(9, 3.0, 6.0));

    KaPointList out;
    out.Add(KaPoint(99, 0.0, 0.0));
    ASSERT_EQ(KaGetRektBikoPoints(out, &photo, &trafo), 3);
    EXPECT_EQ(out.First()->GetId(), 7u);
    EXPECT_DOUBLE_EQ(out.Last()->x, 3.0);
    EXPECT_DOUBLE_EQ(out.Last()->y, 6.0);

    EXPECT_EQ(KaGetRektBikoPoints(out, nullptr, &trafo), 0);
    EXPECT_TRUE(out.IsEmpty());
}

TEST(KaGetRektBikoPoints, WithoutRegionFollowsTheDigitizingRegion) {
    KaPhoto photo(1);
    Configure(photo, KaPhotoAnalog);
    KaRektTrafo trafo;
    KaPointList out;

    // Without compensation: the four corners in image coordinates.
    ASSERT_EQ(KaGetRektBikoPoints(out, &photo, &trafo), 4);
    double const corners[4][2] = {{-50.0, 60.0}, {50.0, 60.0}, {50.0, -60.0}, {-50.0, -60.0}};
    int i = 0;
    for (KaPoint const* p = out.First(); p; p = p->Next(), ++i) {
        EXPECT_NEAR(p->x, corners[i][0], 1e-9) << i;
        EXPECT_NEAR(p->y, corners[i][1], 1e-9) << i;
    }

    // The flag alone does not compensate: the camera needs a number.
    trafo.SetDistortCameraFlag(true);
    EXPECT_EQ(KaGetRektBikoPoints(out, &photo, &trafo), 4);

    // With compensation every edge is walked in nine equal steps.
    trafo.SetDistortCameraParam(DistortionCamera());
    ASSERT_EQ(KaGetRektBikoPoints(out, &photo, &trafo), 36);
    unsigned int id = 1;
    for (KaPoint const* p = out.First(); p; p = p->Next(), ++id) {
        EXPECT_EQ(p->GetId(), id);
        int const edge = static_cast<int>(id - 1) / 9;
        if ((id - 1) % 9 == 0) {
            EXPECT_NEAR(p->x, corners[edge][0], 1e-9) << id;
            EXPECT_NEAR(p->y, corners[edge][1], 1e-9) << id;
        }
        double const* a = corners[edge];
        double const* b = corners[(edge + 1) % 4];
        KaPoint const* q = p->Next() ? p->Next() : out.First();
        EXPECT_NEAR(q->x - p->x, (b[0] - a[0]) / 9.0, 1e-9) << id;
        EXPECT_NEAR(q->y - p->y, (b[1] - a[1]) / 9.0, 1e-9) << id;
    }
}

TEST(KaRektTrafo, OriginalPixelAreaOnlyForActiveDigitalPhotos) {
    KaRektTrafo trafo;
    // A 10 x 20 mm rectangle: 1000 x 2000 pixels.
    for (auto [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 20.0}, {0.0, 20.0}})
        trafo.GetRegion().AddPoint(KaPoint(0, x, y));

    KaPhoto photo(1);
    Configure(photo, KaPhotoDigital);
    EXPECT_NEAR(trafo.GetOriginalPixelArea(&photo), 2e6, 1e-3);

    photo.SetActiveFlag(1);
    EXPECT_EQ(trafo.GetOriginalPixelArea(&photo), 0.0);
    Configure(photo, KaPhotoAnalog);
    EXPECT_EQ(trafo.GetOriginalPixelArea(&photo), 0.0);
    EXPECT_EQ(trafo.GetOriginalPixelArea(nullptr), 0.0);

    // A region that encloses nothing has no area (not the -1 of the polygon).
    Configure(photo, KaPhotoDigital);
    KaRektTrafo line;
    line.GetRegion().AddPoint(KaPoint(1, 0.0, 0.0));
    line.GetRegion().AddPoint(KaPoint(2, 5.0, 5.0));
    EXPECT_EQ(line.GetOriginalPixelArea(&photo), 0.0);
    EXPECT_EQ(KaRektTrafo().GetOriginalPixelArea(&photo), 0.0);
}
