#include "cad/KaCadBogenschlag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

void ExpectNear(KaPoint3d const& p, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(p.x(), x, tol);
    EXPECT_NEAR(p.y(), y, tol);
    EXPECT_NEAR(p.z(), z, tol);
}

} // namespace

TEST(KaCadBogenschlag, TwoIntersections) {
    KaCadBogenschlag const b(KaPoint3d(0, 0, 0), 6.0, KaPoint3d(10, 0, 0), 8.0, 1e-6);
    ASSERT_TRUE(b.IsValid());
    EXPECT_FALSE(b.IsConcentric());
    ExpectNear(b.Base(), 3.6, 0, 0);
    ExpectNear(b.S1(), 3.6, -4.8, 0); // right of P1 -> P2
    ExpectNear(b.S2(), 3.6, 4.8, 0);
    ExpectNear(b.GetNearestPoint(KaPoint3d(0, 10, 0)), 3.6, 4.8, 0);
    ExpectNear(b.GetNearestPoint(KaPoint3d(0, -1, 0)), 3.6, -4.8, 0);
    ExpectNear(b.GetNearestPoint(KaPoint3d(5, 0, 0)), 3.6, -4.8, 0); // a tie gives S1

    // Any placement: both points at the given distances from both centres.
    KaPoint3d const c1(-2.5, 7.25, 1.5), c2(4.0, -1.0, 1.5);
    double const d = Distance(c1, c2);
    KaCadBogenschlag const g(c1, 0.7 * d, c2, 0.45 * d, 1e-9);
    ASSERT_TRUE(g.IsValid());
    for (KaPoint3d const& s : {g.S1(), g.S2()}) {
        EXPECT_NEAR(Distance(s, c1), 0.7 * d, 1e-12);
        EXPECT_NEAR(Distance(s, c2), 0.45 * d, 1e-12);
        EXPECT_DOUBLE_EQ(s.z(), 1.5);
    }
    EXPECT_GT(Distance(g.S1(), g.S2()), 1.0);

    // Centres at different heights: the distances hold in space.
    KaCadBogenschlag const h(KaPoint3d(0, 0, 0), 6.0, KaPoint3d(6, 0, 8), 8.0, 1e-6);
    ASSERT_TRUE(h.IsValid());
    for (KaPoint3d const& s : {h.S1(), h.S2()}) {
        EXPECT_NEAR(Distance(s, h.P1()), 6.0, 1e-12);
        EXPECT_NEAR(Distance(s, h.P2()), 8.0, 1e-12);
    }
}

TEST(KaCadBogenschlag, TouchingCirclesGiveOnePoint) {
    KaCadBogenschlag const outer(KaPoint3d(0, 0, 0), 4.0, KaPoint3d(10, 0, 0), 6.0, 1e-6);
    ASSERT_TRUE(outer.IsValid());
    ExpectNear(outer.S1(), 4, 0, 0);
    ExpectNear(outer.S2(), 4, 0, 0);

    // Touching within eps, and by rounding only.
    KaCadBogenschlag const near(KaPoint3d(0, 0, 0), 4.0, KaPoint3d(10 + 1e-9, 0, 0), 6.0, 1e-6);
    ASSERT_TRUE(near.IsValid());
    ExpectNear(near.S1(), 4, 0, 0, 1e-8);
    KaCadBogenschlag const rounded(KaPoint3d(0, 0, 0), 0.1, KaPoint3d(0.1 + 0.2, 0, 0), 0.2, 1e-12);
    ASSERT_TRUE(rounded.IsValid());
    ExpectNear(rounded.S1(), 0.1, 0, 0, 1e-12);

    // The smaller circle inside the larger, touching it.
    KaCadBogenschlag const inner(KaPoint3d(0, 0, 0), 5.0, KaPoint3d(2, 0, 0), 3.0, 1e-6);
    ASSERT_TRUE(inner.IsValid());
    ExpectNear(inner.S1(), 5, 0, 0);
    ExpectNear(inner.S2(), 5, 0, 0);
}

TEST(KaCadBogenschlag, NoIntersection) {
    KaCadBogenschlag const apart(KaPoint3d(0, 0, 0), 3.0, KaPoint3d(10, 0, 0), 4.0, 1e-6);
    EXPECT_FALSE(apart.IsValid());
    EXPECT_FALSE(apart.IsConcentric());
    ExpectNear(apart.S1(), 0, 0, 0, 0.0);
    EXPECT_FALSE(KaCadBogenschlag(KaPoint3d(0, 0, 0), 10.0, KaPoint3d(3, 0, 0), 2.0, 1e-6).IsValid());
    EXPECT_FALSE(KaCadBogenschlag(KaPoint3d(0, 0, 0), 4.0, KaPoint3d(10 + 1e-5, 0, 0), 6.0, 1e-6).IsValid());

    // The same circle twice.
    KaCadBogenschlag const same(KaPoint3d(1, 1, 0), 2.0, KaPoint3d(1, 1 + 1e-9, 0), 2.0 + 1e-9, 1e-6);
    EXPECT_FALSE(same.IsValid());
    EXPECT_TRUE(same.IsConcentric());
    ExpectNear(same.GetConcentricPx(std::numbers::pi / 2.0), 1, 3, 0);
    // One centre, different radii.
    KaCadBogenschlag const rings(KaPoint3d(1, 1, 0), 2.0, KaPoint3d(1, 1, 0), 3.0, 1e-6);
    EXPECT_FALSE(rings.IsValid());
    EXPECT_FALSE(rings.IsConcentric());

    // Centres on a plumb line leave the plane of the intersections open.
    EXPECT_FALSE(KaCadBogenschlag(KaPoint3d(0, 0, 0), 6.0, KaPoint3d(0, 0, 10), 8.0, 1e-6).IsValid());
    // Negative or non-finite radii.
    EXPECT_FALSE(KaCadBogenschlag(KaPoint3d(0, 0, 0), -6.0, KaPoint3d(10, 0, 0), 6.0, 1e-6).IsValid());
    double const nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(KaCadBogenschlag(KaPoint3d(0, 0, 0), nan, KaPoint3d(10, 0, 0), 6.0, 1e-6).IsValid());
    EXPECT_FALSE(KaCadBogenschlag(KaPoint3d(0, nan, 0), 6.0, KaPoint3d(10, 0, 0), 8.0, 1e-6).IsValid());
}
