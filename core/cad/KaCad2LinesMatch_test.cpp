#include "cad/KaCad2LinesMatch.h"

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

TEST(KaCad2LinesMatch, SkewLinesAndTheShiftTowardsTheNearerEnd) {
    KaPoint3d const p1(0, 0, 0), p2(1, 0, 0), p3(0, 0, 5), p4(0, 1, 5);
    KaCad2LinesMatch const m(p1, p2, p3, p4, 0.0, 0.0, 1.0);
    ASSERT_TRUE(m.IsValid());
    EXPECT_FALSE(m.IsParallel());
    EXPECT_NEAR(m.Distance(), 5.0, 1e-12);
    ExpectNear(m.MiddlePoint(), 0, 0, 2.5);
    ExpectNear(m.E1(), 1, 0, 0);
    ExpectNear(m.E2(), 0, 1, 5);
    EXPECT_EQ(m.ValueDistance(), 2);

    KaCad2LinesMatch const shifted(p1, p2, p3, p4, 1.0, 0.0, 1.0);
    ASSERT_TRUE(shifted.IsValid());
    ExpectNear(shifted.Q1(), -1, 0, 0);
    ExpectNear(shifted.Q2(), 0, 0, 5);

    // Closest points nearer the second ends move towards those.
    KaCad2LinesMatch const towardsP2(KaPoint3d(-3, 0, 0), KaPoint3d(1, 0, 0), KaPoint3d(0, -2, 5),
                                     KaPoint3d(0, 1, 5), 0.5, 0.25, 1.0);
    ExpectNear(towardsP2.Q1(), 0.5, 0, 0);
    ExpectNear(towardsP2.Q2(), 0, 0.25, 5);
    ExpectNear(towardsP2.E1(), -3, 0, 0);
    ExpectNear(towardsP2.E2(), 0, -2, 5);
}

TEST(KaCad2LinesMatch, ClosestPointsOfGeneralLinesAreMutuallyPerpendicular) {
    KaPoint3d const p1(1, 2, -1), p2(4, -1, 3), p3(-2, 0.5, 2), p4(3, 3, 1);
    KaCad2LinesMatch const m(p1, p2, p3, p4, 0.0, 0.0, 0.5);
    ASSERT_TRUE(m.IsValid());
    KaVector3d const gap = m.Q2() - m.Q1();
    EXPECT_NEAR(gap * Normalized(p2 - p1), 0.0, 1e-12);
    EXPECT_NEAR(gap * Normalized(p4 - p3), 0.0, 1e-12);
    // Q1, Q2 lie on their lines.
    EXPECT_NEAR(Norm((m.Q1() - p1) % (p2 - p1)), 0.0, 1e-12);
    EXPECT_NEAR(Norm((m.Q2() - p3) % (p4 - p3)), 0.0, 1e-12);
}

TEST(KaCad2LinesMatch, RatesTheGapAgainstTheLinePieces) {
    // Crossing lines: no gap at all.
    KaCad2LinesMatch const crossing(KaPoint3d(0, 0, 0), KaPoint3d(10, 0, 0), KaPoint3d(2, -5, 0),
                                    KaPoint3d(2, 5, 0), 0.0, 0.0, 1.0);
    ASSERT_TRUE(crossing.IsValid());
    EXPECT_NEAR(crossing.Distance(), 0.0, 1e-15);
    ExpectNear(crossing.MiddlePoint(), 2, 0, 0);
    // A gap of 0.1 against line pieces (closest point to far end) of 8 and 5 is
    // good, against one of 1.5 it is not.
    KaCad2LinesMatch const close(KaPoint3d(0, 0, 0), KaPoint3d(10, 0, 0), KaPoint3d(2, -5, 0.1),
                                 KaPoint3d(2, 5, 0.1), 0.0, 0.0, 1.0);
    EXPECT_EQ(close.ValueDistance(), 1);
    KaCad2LinesMatch const shortPiece(KaPoint3d(0, 0, 0), KaPoint3d(10, 0, 0), KaPoint3d(2, -0.5, 0.1),
                                      KaPoint3d(2, 1.5, 0.1), 0.0, 0.0, 1.0);
    EXPECT_EQ(shortPiece.ValueDistance(), 2);
}

TEST(KaCad2LinesMatch, ParallelLinesMeetAtTheNearestEnds) {
    KaPoint3d const p1(0, 0, 0), p2(10, 0, 0), p3(12, 1, 0), p4(20, 1, 0);
    KaCad2LinesMatch const m(p1, p2, p3, p4, 3.0, 3.0, 1.0);
    ASSERT_TRUE(m.IsValid());
    EXPECT_TRUE(m.IsParallel());
    ExpectNear(m.Q1(), 11, 0, 0); // no shift for parallel lines
    ExpectNear(m.Q2(), 11, 1, 0);
    ExpectNear(m.E1(), 0, 0, 0);
    ExpectNear(m.E2(), 20, 1, 0);
    EXPECT_NEAR(m.Distance(), 1.0, 1e-12);

    // Half a degree apart counts as parallel at a one-degree tolerance, not at a
    // quarter degree.
    double const slope = std::tan(0.5 * std::numbers::pi / 180.0);
    KaPoint3d const tilted(20, 1 + 8 * slope, 0);
    EXPECT_TRUE(KaCad2LinesMatch(p1, p2, p3, tilted, 0, 0, 1.0).IsParallel());
    KaCad2LinesMatch const skew(p1, p2, p3, tilted, 0, 0, 0.25);
    EXPECT_TRUE(skew.IsValid());
    EXPECT_FALSE(skew.IsParallel());
}

TEST(KaCad2LinesMatch, RejectsLinesWithoutDirection) {
    KaPoint3d const p(1, 1, 1);
    KaCad2LinesMatch const m(p, p, KaPoint3d(0, 0, 0), KaPoint3d(1, 0, 0), 0, 0, 1.0);
    EXPECT_FALSE(m.IsValid());
    EXPECT_FALSE(m.IsParallel());
    ExpectNear(m.Q1(), 0, 0, 0, 0.0);
    EXPECT_EQ(m.Distance(), 0.0);
    EXPECT_EQ(m.ValueDistance(), 0);

    EXPECT_FALSE(KaCad2LinesMatch(KaPoint3d(0, 0, 0), KaPoint3d(1, 0, 0), p, p, 0, 0, 1.0).IsValid());
    double const nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(KaCad2LinesMatch(KaPoint3d(0, 0, 0), KaPoint3d(nan, 0, 0), KaPoint3d(0, 0, 1), p, 0, 0, 1.0)
                     .IsValid());
}
