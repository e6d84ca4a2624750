#include "model/KaBikoTransform.h"

#include "model/KaCamera.h"
#include "model/KaPhoto.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "numerics/KaTrafo2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

// The principal point is at the origin: only then does InvAdjust undo Adjust
// exactly, which the round trips through the camera modes rely on.
KaCamera const kCamera(1, 152.1, 0.0, 0.0, -3.2e-06, 1.5e-10, 70, "SVK");

// Scanner pixels to pre-corrected coordinates: a slight rotation and a shift.
KaReseauTrafo HelmertPre() {
    KaReseauTrafo t;
    t.type = KaTrafo2DHelmert;
    double const m = 1.002, a = 0.01;
    t.p[0] = 12.5;
    t.p[1] = m * std::cos(a);
    t.p[2] = -7.25;
    t.p[3] = m * std::sin(a);
    return t;
}

// Pre-corrected pixels to millimetres with y pointing up.
KaReseauTrafo AffineMain() {
    KaReseauTrafo t;
    t.type = KaTrafo2DAffin;
    double const p[6] = {-100.0, 0.05, 0.001, 120.0, 0.0005, -0.05};
    std::copy(std::begin(p), std::end(p), t.p);
    return t;
}

// The affine map above with small quadratic terms.
KaReseauTrafo PolynomialMain() {
    KaReseauTrafo t;
    t.type = KaTrafo2DPolynomial;
    t.p[0] = -100.0, t.p[1] = 0.05, t.p[2] = 0.001, t.p[3] = 1e-8;
    t.p[10] = 120.0, t.p[11] = 0.0005, t.p[12] = -0.05, t.p[14] = 2e-9;
    return t;
}

// The inverse of main fitted on a grid over the scanned area.
KaReseauTrafo FittedInverse(KaReseauTrafo const& main) {
    KaPointList pre, image;
    unsigned int id = 1;
    for (double x = 0; x <= 4000; x += 400)
        for (double y = 0; y <= 4400; y += 400, ++id) {
            KaPoint p(id, x, y);
            pre.Add(new KaPoint(p));
            main.Transform(&p);
            image.Add(new KaPoint(p));
        }
    KaCalcTrafo2D fit(&pre);
    EXPECT_TRUE(fit.CalcTrafoPolynom(&image));
    return KaReseauTrafo(fit);
}

void Configure(KaPhoto& photo, bool polynomial) {
    photo.SetCamera(kCamera);
    photo.SetReseauPreTrafo(HelmertPre());
    if (polynomial) {
        photo.SetReseauMainTrafo(PolynomialMain());
        photo.SetPolyInvTrafo(FittedInverse(PolynomialMain()));
    } else {
        photo.SetReseauMainTrafo(AffineMain());
    }
}

std::vector<KaPoint> SamplePixels() {
    return {KaPoint(1, 0, 0), KaPoint(2, 3999, 12), KaPoint(3, 1834.5, 2771.25), KaPoint(4, 250, 4380)};
}

KaPoint Converted(KaPhoto const& photo, KaPoint p, std::initializer_list<int> modes) {
    for (int mode : modes)
        photo.ConvertBiko(&p, static_cast<eConvertBikoMode>(mode));
    return p;
}

// The list form of the conversion, for comparison with ConvertBiko.
KaPoint ConvertedByList(KaPhoto const& photo, KaPoint const& p, int mode) {
    KaPointList list;
    list.Add(new KaPoint(p));
    photo.ConvertList(&list, static_cast<eConvertBikoMode>(mode));
    return *list.First();
}

#define EXPECT_POINT_NEAR(a, b, tol)                                                                         \
    do {                                                                                                     \
        EXPECT_NEAR((a).x, (b).x, tol);                                                                      \
        EXPECT_NEAR((a).y, (b).y, tol);                                                                      \
    } while (0)

} // namespace

TEST(KaBikoTransform, TransformationsOfTypeNoneChangeOnlyTheCameraModes) {
    KaPhoto photo(1);
    photo.SetCamera(kCamera);
    for (KaPoint const& start : SamplePixels()) {
        KaPoint const mm(start.GetId(), start.x / 40.0 - 50.0, start.y / 40.0 - 55.0, 3.0);
        for (int mode = 0; mode <= 13; ++mode) {
            SCOPED_TRACE(mode);
            KaPoint const single = Converted(photo, mm, {mode});
            KaPoint const listed = ConvertedByList(photo, mm, mode);
            EXPECT_EQ(single.z, 3.0);
            EXPECT_EQ(listed.z, 3.0);
            bool const camera = mode == 4 || mode == 5 || mode == 9 || mode == 10;
            if (camera) {
                EXPECT_FALSE(single.x == mm.x && single.y == mm.y);
            } else {
                EXPECT_EQ(single.x, mm.x);
                EXPECT_EQ(single.y, mm.y);
                EXPECT_EQ(listed.x, mm.x);
                EXPECT_EQ(listed.y, mm.y);
            }
        }
    }
    KaBikoTransform const t(&photo, CB_BIKO_TO_PIXEL);
    EXPECT_TRUE(t.GetTransformation().IsIdent());
    EXPECT_FALSE(t.IsPolyTrafo());
}

TEST(KaBikoTransform, LinearChainRunsBothWays) {
    KaPhoto photo(1);
    Configure(photo, false);
    KaReseauTrafo const pre = HelmertPre(), main = AffineMain();
    for (KaPoint const& start : SamplePixels()) {
        SCOPED_TRACE(start.GetId());
        KaPoint expected = start;
        pre.Transform(&expected);
        main.Transform(&expected);
        EXPECT_POINT_NEAR(Converted(photo, start, {2}), expected, 1e-9);
        EXPECT_POINT_NEAR(ConvertedByList(photo, start, 2), expected, 1e-9);

        // Every forward mode followed by its inverse comes back to the start.
        EXPECT_POINT_NEAR(Converted(photo, start, {2, 6}), start, 1e-8);
        EXPECT_POINT_NEAR(Converted(photo, start, {1, 7}), start, 1e-8);
        KaPoint const preCorrected = Converted(photo, start, {1});
        EXPECT_POINT_NEAR(Converted(photo, preCorrected, {3, 8}), preCorrected, 1e-8);
        EXPECT_POINT_NEAR(Converted(photo, start, {4, 10}), start, 1e-6);
        EXPECT_POINT_NEAR(Converted(photo, start, {2}), Converted(photo, start, {1, 3}), 1e-9);
    }

    // The same through the list conversion.
    KaPointList list;
    for (KaPoint const& p : SamplePixels())
        list.Add(new KaPoint(p));
    photo.ConvertList(&list, CB_PIXEL_TO_BIKO);
    photo.ConvertList(&list, CB_BIKO_TO_PIXEL);
    std::vector<KaPoint> const starts = SamplePixels();
    KaPoint const* p = list.First();
    for (KaPoint const& start : starts) {
        ASSERT_NE(p, nullptr);
        EXPECT_POINT_NEAR(*p, start, 1e-8);
        p = p->Next();
    }
}

TEST(KaBikoTransform, PolynomialMainTransformationIsAppliedExactly) {
    KaPhoto photo(1);
    Configure(photo, true);
    KaBikoTransform const t(&photo, CB_PIXEL_TO_BIKO);
    EXPECT_TRUE(t.IsPolyTrafo());

    KaReseauTrafo const main = PolynomialMain(), inverse = photo.GetReseauPolyInv();
    for (KaPoint const& start : SamplePixels()) {
        SCOPED_TRACE(start.GetId());
        KaPoint const preCorrected = Converted(photo, start, {1});
        KaPoint direct = preCorrected;
        main.Transform(&direct);
        EXPECT_POINT_NEAR(Converted(photo, preCorrected, {3}), direct, 1e-12);
        EXPECT_POINT_NEAR(ConvertedByList(photo, preCorrected, 3), direct, 1e-12);

        KaPoint back = direct;
        inverse.Transform(&back);
        EXPECT_POINT_NEAR(ConvertedByList(photo, direct, 8), back, 1e-12);

        EXPECT_POINT_NEAR(Converted(photo, start, {2}), Converted(photo, start, {1, 3}), 1e-9);
        EXPECT_POINT_NEAR(ConvertedByList(photo, start, 2), Converted(photo, start, {2}), 1e-9);
        // Back to pixels within the accuracy of the fitted inverse.
        EXPECT_POINT_NEAR(Converted(photo, start, {2, 6}), start, 1e-4);
        EXPECT_POINT_NEAR(Converted(photo, start, {4, 10}), start, 1e-4);
    }
}

TEST(KaBikoTransform, Mode4IsMode2ThenMode5) {
    for (bool polynomial : {false, true}) {
        SCOPED_TRACE(polynomial);
        KaPhoto photo(1);
        Configure(photo, polynomial);
        for (KaPoint const& start : SamplePixels()) {
            KaPoint const expected = Converted(photo, start, {2, 5});
            EXPECT_FALSE(expected == Converted(photo, start, {2}));
            EXPECT_POINT_NEAR(Converted(photo, start, {4}), expected, 1e-12);
            EXPECT_POINT_NEAR(ConvertedByList(photo, start, 4), expected, 1e-9);
            EXPECT_POINT_NEAR(Converted(photo, expected, {9}), Converted(photo, start, {2}), 1e-9);
        }
    }
}

TEST(KaBikoTransform, ReservedAndUnknownModesChangeNothing) {
    for (bool polynomial : {false, true}) {
        KaPhoto photo(1);
        Configure(photo, polynomial);
        for (int mode : {0, 11, 12, 13, -1, 14, 1000}) {
            SCOPED_TRACE(mode);
            KaPoint const start(5, 1234.5, 876.25, 2.0);
            KaPoint const single = Converted(photo, start, {mode});
            KaPoint const listed = ConvertedByList(photo, start, mode);
            EXPECT_EQ(single.x, start.x);
            EXPECT_EQ(single.y, start.y);
            EXPECT_EQ(listed.x, start.x);
            EXPECT_EQ(listed.y, start.y);
        }
    }
    KaPhoto photo(1);
    photo.ConvertList(nullptr, CB_PIXEL_TO_BIKO);
    EXPECT_EQ(photo.ConvertBiko(nullptr, CB_PIXEL_TO_BIKO), 1);

    // Without a photo nothing is converted either.
    KaBikoTransform const none(nullptr, CB_PIXEL_TO_ADJUSTED);
    double x = 3, y = 4, z = 5;
    none.Transform(&x, &y, &z);
    EXPECT_EQ(x, 3.0);
    EXPECT_EQ(y, 4.0);
}

TEST(KaBikoTransform, CopiesConvertAlike) {
    KaPhoto photo(1);
    Configure(photo, true);
    KaBikoTransform const original(&photo, CB_BIKO_TO_PIXEL);
    KaBikoTransform copy(&photo, CB_NONE);
    copy = original;
    KaBikoTransform const constructed(original);
    KaPoint a(1, 10.0, -20.0), b = a, c = a;
    original.Transform(&a);
    copy.Transform(&b);
    constructed.Transform(&c);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.x, c.x);
    EXPECT_EQ(a.y, c.y);
    EXPECT_TRUE(copy.IsPolyTrafo());
    EXPECT_EQ(copy.GetMode(), CB_BIKO_TO_PIXEL);
}
