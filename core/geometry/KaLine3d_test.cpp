#include "geometry/KaLine3d.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

::testing::AssertionResult Near(_MVector const& a, _MVector const& b, double tol) {
    for (int i = 0; i < 4; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tol))
            return ::testing::AssertionFailure() << "element " << i << ": " << a[i] << " vs " << b[i];
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(KaLine3d, SegmentsAndClosestPoints) {
    KaLine3d line(KaPoint3d(1, 1, 1), KaPoint3d(1, 1, 5));
    EXPECT_TRUE(Near(line.getDirection(), KaVector3d(0, 0, 1), 0));
    EXPECT_EQ(line.getLength(), 4.0);
    EXPECT_TRUE(Near(line.Evaluate(-2), KaPoint3d(1, 1, -1), 0));

    KaPoint3d q;
    EXPECT_TRUE(line.getClosestPointTo(KaPoint3d(4, 5, 3), q, false));
    EXPECT_TRUE(Near(q, KaPoint3d(1, 1, 3), 0));
    EXPECT_EQ(line.getNormDistance(KaPoint3d(4, 5, 3)), 5.0);
    EXPECT_FALSE(line.getClosestPointTo(KaPoint3d(0, 0, 0), q, false)); // behind the start
    EXPECT_TRUE(Near(q, KaPoint3d(1, 1, 0), 0));
    EXPECT_TRUE(line.getClosestPointTo(KaPoint3d(0, 0, 0), q, true));
    EXPECT_FALSE(line.getClosestPointTo(KaPoint3d(0, 0, 5.5), q, false)); // beyond the end
    EXPECT_TRUE(line.getClosestPointTo(KaPoint3d(0, 0, 5), q, false));

    double d = 0;
    EXPECT_TRUE(line.getDistAtPoint(KaPoint3d(1, 1, 8), d));
    EXPECT_EQ(d, 7.0);
    EXPECT_FALSE(line.getDistAtPoint(KaPoint3d(1, 1.001, 1), d));

    // From a point and a direction: the end lies one unit away.
    KaLine3d ray(KaPoint3d(0, 0, 0), KaVector3d(0, 3, 4));
    EXPECT_TRUE(Near(ray.getEnd(), KaPoint3d(0, 0.6, 0.8), 1e-15));
    ray.setEnd(KaPoint3d(2, 0, 0), false);
    EXPECT_TRUE(Near(ray.getDirection(), KaVector3d(0, 0.6, 0.8), 1e-15));
    ray.setEnd(KaPoint3d(2, 0, 0), true);
    EXPECT_TRUE(Near(ray.getDirection(), KaVector3d(1, 0, 0), 0));
    ray.setDirection(KaVector3d(0, 0, -7));
    EXPECT_TRUE(Near(ray.getDirection(), KaVector3d(0, 0, -1), 0));
    EXPECT_TRUE(Near(ray.getEnd(), KaPoint3d(2, 0, 0), 0));
    ray.setStart(KaPoint3d(9, 9, 9));
    EXPECT_TRUE(Near(ray.getDirection(), KaVector3d(0, 0, -1), 0));
}

TEST(KaPlane3d, OrientationDistancesAndIntersections) {
    // The normal points to the origin's side, d is the distance from the origin.
    KaPlane3d const p(KaPoint3d(0, 0, 5), KaVector3d(0, 0, 1));
    EXPECT_TRUE(Near(p.GetNorm(), KaVector3d(0, 0, -1), 0));
    EXPECT_EQ(p.GetDist(), 5.0);
    EXPECT_EQ(p.Dist(KaPoint3d(0, 0, 0)), 5.0);
    EXPECT_EQ(p.Dist(KaPoint3d(3, 4, 5)), 0.0);
    EXPECT_TRUE(Near(p.Projection(KaPoint3d(1, 2, 9)), KaPoint3d(1, 2, 5), 0));

    // The three point-based forms agree on one plane.
    KaPoint3d const a(1, 0, 0), b(0, 2, 0), c(0, 0, 3);
    KaPlane3d const three(a, b, c);
    KaPlane3d const spanned(a, b - a, c - a);
    KaPlane3d const normal(c, KaVector3d(-6, -3, -2));
    for (KaPlane3d const* q : {&three, &spanned, &normal}) {
        EXPECT_NEAR(q->GetDist(), 6.0 / 7.0, 1e-15);
        EXPECT_TRUE(Near(q->GetNorm(), KaVector3d(-6, -3, -2) / 7.0, 1e-15));
        EXPECT_NEAR(q->Dist(a), 0.0, 1e-15);
        EXPECT_NEAR(q->Dist(c), 0.0, 1e-15);
    }
    // Given normal and d: the normal is normalised, d kept.
    KaPlane3d given(KaVector3d(0, 2, 0), -3);
    EXPECT_EQ(given.Dist(KaPoint3d(7, 3, 1)), 0.0);
    given.SetNorm(KaVector3d(5, 0, 0));
    EXPECT_EQ(given.Dist(KaPoint3d(3, 0, 0)), 0.0);

    KaPoint3d hit(-1, -1, -1);
    EXPECT_EQ(p.Intersect(KaLine3d(KaPoint3d(1, 1, 0), KaPoint3d(2, 3, 2)), hit), 0);
    EXPECT_TRUE(Near(hit, KaPoint3d(3.5, 6, 5), 1e-14));
    EXPECT_EQ(p.Intersect(KaLine3d(KaPoint3d(1, 1, 9), KaPoint3d(1, 1, 8)), hit), 0); // from above
    EXPECT_TRUE(Near(hit, KaPoint3d(1, 1, 5), 1e-15));

    // Parallel within 1e-6: no intersection, hit untouched.
    KaPoint3d const kept(hit);
    EXPECT_EQ(p.Intersect(KaLine3d(KaPoint3d(0, 0, 0), KaVector3d(1, 0, 0.9e-6)), hit), 1);
    EXPECT_TRUE(Near(hit, kept, 0));
    EXPECT_EQ(p.Intersect(KaLine3d(KaPoint3d(0, 0, 0), KaVector3d(1, 0, 2e-6)), hit), 0);
    EXPECT_NEAR(hit.z(), 5.0, 1e-9);
}
