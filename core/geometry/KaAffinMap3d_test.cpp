#include "geometry/KaAffinMap3d.h"

#include "geometry/KaLine3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

::testing::AssertionResult Near(_MVector const& a, _MVector const& b, double tol) {
    for (int i = 0; i < 4; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tol))
            return ::testing::AssertionFailure() << "element " << i << ": " << a[i] << " vs " << b[i];
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Near(_MMatrix const& a, _MMatrix const& b, double tol) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (!(std::fabs(a[i][j] - b[i][j]) <= tol))
                return ::testing::AssertionFailure()
                       << "element (" << i << ", " << j << "): " << a[i][j] << " vs " << b[i][j];
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(KaAffinMap3d, BuildersCompose) {
    EXPECT_TRUE(Near(RotXYZ(0.7, 0, 0), RotX(0.7), 0));
    KaPoint3d const p(1, -2, 3);
    EXPECT_TRUE(Near(RotXYZ(0.1, 0.2, 0.3).Transform(p),
                     RotZ(0.3).Transform(RotY(0.2).Transform(RotX(0.1).Transform(p))), 1e-15));
    // Right-handed: a quarter turn carries each axis onto the next.
    EXPECT_TRUE(Near(RotZ(Pi / 2).Transform(KaVector3d(1, 0, 0)), KaVector3d(0, 1, 0), 1e-16));
    EXPECT_TRUE(Near(RotX(Pi / 2).Transform(KaVector3d(0, 1, 0)), KaVector3d(0, 0, 1), 1e-16));
    EXPECT_TRUE(Near(RotY(Pi / 2).Transform(KaVector3d(0, 0, 1)), KaVector3d(1, 0, 0), 1e-16));

    // Translation moves points, not vectors.
    KaAffinMap3d const t = Tl(KaVector3d(5, 6, 7));
    EXPECT_TRUE(Near(t.Transform(KaVector3d(1, 0, 0)), KaVector3d(1, 0, 0), 0));
    EXPECT_TRUE(Near(t.Transform(KaPoint3d(1, 0, 0)), KaPoint3d(6, 6, 7), 0));
    // The right factor acts first.
    EXPECT_TRUE(Near((t * S(2, 3, 4)).Transform(p), KaPoint3d(7, 0, 19), 0));
    EXPECT_TRUE(Near((S(2, 3, 4) * t).Transform(p), KaPoint3d(12, 12, 40), 0));
    KaPoint3d moved(p);
    moved.Transform(t);
    KaVector3d same(1, 2, 3);
    same.Transform(t);
    EXPECT_TRUE(Near(moved, KaPoint3d(6, 4, 10), 0));
    EXPECT_TRUE(Near(same, KaVector3d(1, 2, 3), 0));

    EXPECT_EQ(Det(S(2, 3, 4)), 24.0);
    EXPECT_NEAR(RotXYZ(0.4, -1.2, 2.0).Det(), 1.0, 1e-15);
    EXPECT_TRUE(Near(GetScaleMap(Tl(1, 2, 3) * RotXYZ(0.4, -1.2, 2.0) * S(2, 3, 4)), S(2, 3, 4), 1e-15));

    // A line is mapped through its end points.
    KaLine3d const line = t.Transform(KaLine3d(KaPoint3d(0, 0, 0), KaPoint3d(0, 0, 2)));
    EXPECT_TRUE(Near(line.getEnd(), KaPoint3d(5, 6, 9), 0));
    EXPECT_TRUE(Near(line.getDirection(), KaVector3d(0, 0, 1), 0));
}

TEST(KaAffinMap3d, InvertsAndMapsFrames) {
    KaAffinMap3d const m = Tl(1, -2, 3) * RotXYZ(0.3, 0.5, -0.9) * S(2, 0.5, 3);
    KaAffinMap3d inv(m);
    EXPECT_EQ(inv.Invert(), 0);
    EXPECT_TRUE(Near(inv * m, KaAffinMap3d(), 1e-15));
    EXPECT_TRUE(Near(m * Inv(m), KaAffinMap3d(), 1e-15));
    KaPoint3d row3(9, 9, 9);
    inv.GetLine(3, row3);
    EXPECT_TRUE(Near(row3, KaPoint3d(0, 0, 0), 0)); // (0, 0, 0, 1)

    // A flat map cannot be inverted and stays as it was.
    KaAffinMap3d flat = Tl(1, 2, 3) * S(1, 0, 1);
    KaAffinMap3d const before(flat);
    EXPECT_EQ(flat.Invert(), 1);
    EXPECT_TRUE(Near(flat, before, 0));
    EXPECT_TRUE(Near(Inv(flat), before, 0));

    // Frame maps: local coordinates to world, and one frame onto another.
    KaFrame3d const f1(KaPoint3d(1, 2, 3), KaVector3d(0, 1, 0), KaVector3d(-2, 0, 0), KaVector3d(0, 0, 1));
    KaFrame3d const f2(KaPoint3d(-4, 0, 1), KaVector3d(1, 1, 0), KaVector3d(0, 1, 1), KaVector3d(1, 0, 1));
    EXPECT_TRUE(Near(KaAffinMap3d(f1).Transform(KaPoint3d(3, -1, 2)), KaPoint3d(f1, 3, -1, 2), 0));
    KaAffinMap3d const carry(f1, f2);
    KaFrame3d const moved = carry.Transform(f1);
    EXPECT_TRUE(Near(moved.Origin(), f2.Origin(), 1e-14));
    EXPECT_TRUE(Near(moved.v1(), f2.v1(), 1e-14));
    EXPECT_TRUE(Near(moved.v2(), f2.v2(), 1e-14));
    EXPECT_TRUE(Near(moved.v3(), f2.v3(), 1e-14));

    // Normals mapped with NormalTransformMap stay normal to mapped tangents.
    KaVector3d const u(1, 2, 0), w(0, 1, -1), n = u % w;
    KaVector3d const mn = NormalTransformMap(m).Transform(n);
    EXPECT_NEAR(mn * m.Transform(u), 0.0, 1e-14);
    EXPECT_NEAR(mn * m.Transform(w), 0.0, 1e-14);
    EXPECT_EQ(NormalTransformMap(Tl(4, 5, 6))[0][3], 0.0);

    // A plane's own coordinates: the z axis goes onto the normal as given.
    KaVector3d const normal(0.3, -0.4, 2);
    KaAffinMap3d const ecs = MapEcsToWcs(normal);
    EXPECT_TRUE(Near(ecs.Transform(KaVector3d(0, 0, 1)), normal, 0));
    EXPECT_NEAR(ecs.Transform(KaVector3d(1, 0, 0)) * normal, 0.0, 1e-15);
    EXPECT_TRUE(Near(ecs.Transform(KaPoint3d(0, 0, 0)), KaPoint3d(0, 0, 0), 0));
}

TEST(KaAffinMap3d, RotationAnglesInvertRotXYZ) {
    double a = 0, b = 0, c = 0;
    for (double ta : {-2.0, 0.0, 0.5, 3.0})
        for (double tb : {-1.5, -0.4, 0.0, 1.2, 1.5707})
            for (double tc : {-3.0, 0.1, 2.5}) {
                KaAffinMap3d const r = RotXYZ(ta, tb, tc);
                GetRotAngles(r, &a, &b, &c);
                EXPECT_NEAR(a, NormAngle(ta), 1e-9) << ta << " " << tb << " " << tc;
                EXPECT_NEAR(b, NormAngle(tb), 1e-9);
                EXPECT_NEAR(c, NormAngle(tc), 1e-9);
                EXPECT_TRUE(a >= 0 && a <= 2 * Pi && b >= 0 && b <= 2 * Pi && c >= 0 && c <= 2 * Pi);
                // Row scales, a translation and a reflection do not disturb it.
                GetRotAngles(S(2, 0.5, 3) * Tl(1, 2, 3) * r * S(-1, -1, -1), &a, &b, &c);
                EXPECT_NEAR(a, NormAngle(ta), 1e-9);
                EXPECT_NEAR(b, NormAngle(tb), 1e-9);
                EXPECT_NEAR(c, NormAngle(tc), 1e-9);
            }

    // Near gimbal lock only a combination of a and c is fixed: c comes out 0 and
    // the rotation is rebuilt, up to about |cos b| inside the guard.
    struct Case {
        double b, tol;
    };
    for (Case const k :
         {Case{Pi / 2, 1e-15}, Case{-Pi / 2, 1e-15}, Case{Pi / 2 - 1e-9, 1e-8}, Case{-Pi / 2 + 1e-7, 1e-6}}) {
        KaAffinMap3d const r = RotXYZ(0.9, k.b, 0.4);
        GetRotAngles(r, &a, &b, &c);
        EXPECT_EQ(c, 0.0) << k.b;
        EXPECT_TRUE(Near(RotXYZ(a, b, c), r, k.tol)) << k.b;
    }
}
