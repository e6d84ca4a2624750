#include "geometry/KaVector3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

::testing::AssertionResult Near(_MVector const& a, _MVector const& b, double tol) {
    for (int i = 0; i < 4; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tol))
            return ::testing::AssertionFailure() << "element " << i << ": " << a[i] << " vs " << b[i];
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(KaVector3d, PointsAndVectorsKeepTheirW) {
    KaPoint3d const p(1, 2, 3), q(4, 6, 3);
    KaVector3d const v(1, 0, 2);
    EXPECT_EQ(p[3], 1.0);
    EXPECT_EQ(v[3], 0.0);
    EXPECT_EQ(KaPoint3d()[3], 1.0);
    EXPECT_TRUE(Near(q - p, KaVector3d(3, 4, 0), 0));
    EXPECT_TRUE(Near(p + v, KaPoint3d(2, 2, 5), 0));
    EXPECT_TRUE(Near(v + p, KaPoint3d(2, 2, 5), 0));
    EXPECT_TRUE(Near(p - v, KaPoint3d(0, 2, 1), 0));
    EXPECT_EQ(Distance(p, q), 5.0);
    EXPECT_TRUE(Near(AffinCombination(p, q, 1, 3), KaPoint3d(3.25, 5, 3), 0));

    KaVector3d a(1, 2, 3);
    KaVector3d const b(-2, 0.5, 4);
    EXPECT_TRUE(Near(a % b, KaVector3d(6.5, -10, 4.5), 0));
    EXPECT_EQ((a % b) * a, 0.0);
    EXPECT_TRUE(Near(b % a, -(a % b), 0));
    a %= b;
    EXPECT_TRUE(Near(a, KaVector3d(6.5, -10, 4.5), 0));
    a /= 0.5;
    EXPECT_TRUE(Near(a, KaVector3d(13, -20, 9), 0));
    EXPECT_TRUE(Near(2.0 * b, b * 2.0, 0));
    EXPECT_EQ(Norm(KaVector3d(2, 3, 6)), 7.0);
    EXPECT_TRUE(Normalized(KaVector3d(2, 3, 6)).IsNormalized(1e-15));
    EXPECT_TRUE(std::isnan(Normalized(KaVector3d())[0]));

    // Frames: the axes need not be orthonormal.
    KaFrame3d f(KaPoint3d(1, 1, 1), KaVector3d(2, 0, 0), KaVector3d(1, 1, 0), KaVector3d(0, 0, -1));
    EXPECT_TRUE(Near(KaPoint3d(f, 1, 2, 3), KaPoint3d(5, 3, -2), 0));
    EXPECT_TRUE(Near(KaVector3d(f, 1, 2, 3), KaVector3d(4, 2, -3), 0));
    f.v3() = KaVector3d(0, 0, 1);
    EXPECT_TRUE(Near(KaFrame3d().v3(), f.v3(), 0));
}

TEST(KaVector3d, AnglesAndIndependence) {
    KaVector3d const x(1, 0, 0), y(0, 2, 0);
    EXPECT_NEAR(Angle(x, y), Pi / 2, 1e-15);
    EXPECT_TRUE(x.IsPerpendicular(y, 1e-12));
    EXPECT_FALSE(x.IsPerpendicular(KaVector3d(1, 1, 0), 0.5));

    // Cosines that rounding carries just past +-1 still give 0 and pi.
    KaVector3d const a(-1.1, -4.6, -9.3);
    EXPECT_EQ(a.Angle(3.0 * a), 0.0);
    KaVector3d const b(-4.9, -0.1, -1.0);
    EXPECT_EQ(b.Angle(-2.0 * b), Pi);
    EXPECT_TRUE(std::isnan(x.Angle(KaVector3d())));

    EXPECT_TRUE(x.IsLinearIndependent(y, 1e-6));
    EXPECT_FALSE(a.IsLinearIndependent(3.0 * a, 1e-6));
    EXPECT_TRUE(b.IsLinearIndependent(-2.0 * b, 1e-6));                // antiparallel counts as independent
    EXPECT_FALSE(x.IsLinearIndependent(KaVector3d(1e-7, 0, 0), 1e-6)); // too short
    EXPECT_FALSE(x.IsLinearIndependent(KaVector3d(1, 1e-7, 0), 1e-6));
}

TEST(KaVector3d, NormAngle) {
    EXPECT_EQ(NormAngle(-0.5), 2 * Pi - 0.5);
    EXPECT_EQ(NormAngle(7.0), 7.0 - 2 * Pi);
    EXPECT_EQ(NormAngle(2 * Pi), 2 * Pi);
    EXPECT_EQ(NormAngle(0.0), 0.0);
    EXPECT_NEAR(NormAngle(1.0 - 200 * Pi), 1.0, 1e-11);
    // Far out there are no turns to count one by one: the result still comes.
    double const far = NormAngle(1e300);
    EXPECT_TRUE(far >= 0.0 && far <= 2 * Pi) << far;
    EXPECT_EQ(NormAngle(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

TEST(KaVector3d, CounterClockwise) {
    KaPoint3d const a(0, 0, 5), b(2, 2, -1);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint3d(0, 1, 0)), 1);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint3d(1, 0, 0)), -1);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint3d(1, 1, 9)), 0);    // between
    EXPECT_EQ(CounterClockwise(a, b, KaPoint3d(2, 2, 0)), 0);    // at b
    EXPECT_EQ(CounterClockwise(a, b, KaPoint3d(3, 3, 0)), 1);    // beyond b
    EXPECT_EQ(CounterClockwise(a, b, KaPoint3d(-1, -1, 0)), -1); // behind a
}

TEST(KaVector3d, ArbitraryAxes) {
    KaVector3d ax, ay;
    ArbAxisAlg(KaVector3d(0, 0, 1), ax, ay);
    EXPECT_TRUE(Near(ax, KaVector3d(1, 0, 0), 0));
    EXPECT_TRUE(Near(ay, KaVector3d(0, 1, 0), 0));

    // Close to the z axis the world y axis builds ax, otherwise the world z axis.
    KaVector3d const near(0.01, 0.01, 1), off(0.02, 0, 1);
    ArbAxisAlg(near, ax, ay);
    EXPECT_EQ(ax.y(), 0.0);
    EXPECT_GT(ax.x(), 0.99);
    ArbAxisAlg(off, ax, ay);
    EXPECT_TRUE(Near(ax, KaVector3d(0, 1, 0), 0));

    for (KaVector3d n : {near, off, KaVector3d(-3, 1, 0.5), KaVector3d(0, 0, -2)}) {
        ArbAxisAlg(n, ax, ay);
        EXPECT_TRUE(ax.IsNormalized(1e-15) && ay.IsNormalized(1e-15));
        EXPECT_TRUE(ax.IsPerpendicular(ay, 1e-15) && ax.IsPerpendicular(n, 1e-15));
        EXPECT_NEAR((ax % ay) * Normalized(n), 1.0, 1e-15); // right-handed about n
    }
    // The output may be the input itself.
    KaVector3d n(0.5, -2, 1);
    KaVector3d other;
    ArbAxisAlg(n, n, other);
    EXPECT_TRUE(n.IsPerpendicular(other, 1e-15));
}
