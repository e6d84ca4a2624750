#include "cad/KaCadArc.h"

#include "geometry/KaAffinMap3d.h"
#include "geometry/KaVector3d.h"
#include "model/KaPointList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

KaPointList MakeList(KaPoint3d const& a, KaPoint3d const& b, KaPoint3d const& c) {
    KaPointList list;
    list.Add(new KaPoint(1, a.x(), a.y(), a.z()));
    list.Add(new KaPoint(2, b.x(), b.y(), b.z()));
    list.Add(new KaPoint(3, c.x(), c.y(), c.z()));
    return list;
}

void ExpectAllMeasuresZero(KaCadArc const& arc) {
    EXPECT_EQ(arc.GetArcLength(), 0.0);
    EXPECT_EQ(arc.GetCircleLength(), 0.0);
    EXPECT_EQ(arc.GetArcArea(), 0.0);
    EXPECT_EQ(arc.GetCircleArea(), 0.0);
    EXPECT_EQ(arc.GetSweepAngle(), 0.0);
}

// The arc's angle of a world point, in the plane system of the arc.
double PlaneAngle(KaCadArc const& arc, KaPoint3d const& p) {
    KaVector const& n = arc.GetNormal();
    KaPoint3d const q = Inv(MapEcsToWcs(KaVector3d(n[1], n[2], n[3]))).Transform(p);
    return NormAngle(std::atan2(q.y() - arc.GetCenterUCS().y, q.x() - arc.GetCenterUCS().x));
}

} // namespace

TEST(KaCadArc, HalfCircleThroughThreePoints) {
    KaPointList const points = MakeList({1, 0, 0}, {0, 1, 0}, {-1, 0, 0});
    KaCadArc const arc(&points);
    ASSERT_TRUE(arc.IsOk());
    EXPECT_NEAR(arc.GetNormal()[1], 0.0, 1e-15);
    EXPECT_NEAR(arc.GetNormal()[2], 0.0, 1e-15);
    EXPECT_NEAR(arc.GetNormal()[3], -1.0, 1e-15);
    EXPECT_NEAR(arc.GetRadius(), 1.0, 1e-14);
    EXPECT_NEAR(arc.GetCenter().x, 0.0, 1e-14);
    EXPECT_NEAR(arc.GetCenter().y, 0.0, 1e-14);
    EXPECT_NEAR(arc.GetCenter().z, 0.0, 1e-14);
    EXPECT_EQ(arc.GetCenter().GetId(), 0u);
    EXPECT_NEAR(arc.GetStartAngle(), 0.0, 1e-14);
    EXPECT_NEAR(arc.GetEndAngle(), Pi, 1e-14);
    EXPECT_NEAR(arc.GetArcLength(), Pi, 1e-14);
    EXPECT_NEAR(arc.GetArcArea(), Pi / 2.0, 1e-14);
    EXPECT_NEAR(arc.GetCircleLength(), 2.0 * Pi, 1e-14);
    EXPECT_NEAR(arc.GetCircleArea(), Pi, 1e-14);
}

TEST(KaCadArc, ChordAlongThePlaneYAxis) {
    // In this plane system the first chord has plane x = 0, so the other row is the pivot.
    KaPointList const points = MakeList({0, 2, 0}, {0, 0, 0}, {2, 0, 0});
    KaCadArc const arc(&points);
    ASSERT_TRUE(arc.IsOk());
    EXPECT_NEAR(arc.GetRadius(), std::sqrt(2.0), 1e-14);
    EXPECT_NEAR(arc.GetCenter().x, 1.0, 1e-14);
    EXPECT_NEAR(arc.GetCenter().y, 1.0, 1e-14);
    EXPECT_NEAR(arc.GetArcLength(), std::sqrt(2.0) * Pi, 1e-13); // the ends lie opposite
}

TEST(KaCadArc, RecoversCirclesInTiltedPlanesWhereverTheArcLies) {
    // A circle of radius 2.5 about (3, -1, 4) in the plane spanned by e1 and e2.
    KaPoint3d const centre(3, -1, 4);
    double const radius = 2.5;
    KaVector3d const e1 = Normalized(KaVector3d(1, 2, 2));
    KaVector3d const e2 = Normalized(e1 % KaVector3d(0, 0.3, 1));
    auto onCircle = [&](double t) { return centre + radius * std::cos(t) * e1 + radius * std::sin(t) * e2; };
    // Arcs of every position and of small to nearly full sweeps, in both directions:
    // some of them cross angle 0 of the arc's plane system.
    for (double t0 = 0.0; t0 < 2.0 * Pi; t0 += 0.37)
        for (double sweep : {0.2, 1.0, 3.0, 4.5, 6.0})
            for (double dir : {1.0, -1.0}) {
                SCOPED_TRACE(testing::Message() << "t0 " << t0 << " sweep " << sweep << " dir " << dir);
                KaPoint3d const p1 = onCircle(t0);
                KaPoint3d const p2 = onCircle(t0 + dir * 0.3 * sweep);
                KaPoint3d const p3 = onCircle(t0 + dir * sweep);
                KaPointList const points = MakeList(p1, p2, p3);
                KaCadArc const arc(&points);
                ASSERT_TRUE(arc.IsOk());
                EXPECT_NEAR(arc.GetRadius(), radius, 1e-9);
                EXPECT_NEAR(
                    Distance(KaPoint3d(arc.GetCenter().x, arc.GetCenter().y, arc.GetCenter().z), centre), 0.0,
                    1e-9);
                EXPECT_NEAR(arc.GetArcLength(), radius * sweep, 1e-9);
                EXPECT_NEAR(arc.GetArcArea(), 0.5 * radius * radius * sweep, 1e-9);
                EXPECT_GE(arc.GetStartAngle(), 0.0);
                EXPECT_LE(arc.GetEndAngle(), 2.0 * Pi);
                // The ends are the outer points, and the middle point lies on the arc.
                double const a1 = PlaneAngle(arc, p1);
                double const a3 = PlaneAngle(arc, p3);
                double const start = arc.GetStartAngle(), end = arc.GetEndAngle();
                bool const forward = std::fabs(a1 - start) < 1e-9 && std::fabs(a3 - end) < 1e-9;
                bool const backward = std::fabs(a3 - start) < 1e-9 && std::fabs(a1 - end) < 1e-9;
                auto turn = [](double from, double to) {
                    return to >= from ? to - from : to - from + 2.0 * Pi;
                };
                EXPECT_TRUE(forward || backward);
                EXPECT_LT(turn(start, PlaneAngle(arc, p2)), arc.GetSweepAngle());
            }
}

TEST(KaCadArc, ReportsCollinearAndCoincidentPoints) {
    KaPointList const collinear = MakeList({0, 0, 0}, {1, 1, 1}, {3, 3, 3});
    KaCadArc const a(&collinear);
    EXPECT_EQ(a.GetStatus(), KaCadArc::StatusCollinear);
    EXPECT_FALSE(a.IsOk());
    ExpectAllMeasuresZero(a);
    EXPECT_EQ(a.GetRadius(), 0.0);

    // The middle point outside the others.
    KaPointList const outside = MakeList({0, 0, 0}, {3, 0, 0}, {1, 0, 0});
    EXPECT_EQ(KaCadArc(&outside).GetStatus(), KaCadArc::StatusCollinear);
    KaPointList const sameFirst = MakeList({1, 2, 3}, {1, 2, 3}, {4, 0, 0});
    EXPECT_EQ(KaCadArc(&sameFirst).GetStatus(), KaCadArc::StatusCollinear);
    KaPointList const sameEnds = MakeList({1, 2, 3}, {4, 0, 0}, {1, 2, 3});
    EXPECT_EQ(KaCadArc(&sameEnds).GetStatus(), KaCadArc::StatusCollinear);
    KaPointList const allSame = MakeList({1, 2, 3}, {1, 2, 3}, {1, 2, 3});
    EXPECT_EQ(KaCadArc(&allSame).GetStatus(), KaCadArc::StatusCollinear);
    // Collinear within rounding only: the cross product is noise.
    KaPointList const noisy = MakeList({0.1, 0.2, 0.3}, {0.4, 0.8, 1.2}, {0.7, 1.4, 2.1});
    EXPECT_EQ(KaCadArc(&noisy).GetStatus(), KaCadArc::StatusCollinear);
    double const nan = std::numeric_limits<double>::quiet_NaN();
    KaPointList const bad = MakeList({0, 0, 0}, {nan, 1, 0}, {2, 0, 0});
    EXPECT_EQ(KaCadArc(&bad).GetStatus(), KaCadArc::StatusCollinear);

    // Nearly collinear but measurably bent: a flat arc with a large radius.
    KaPointList const flat = MakeList({0, 0, 0}, {1, 1e-6, 0}, {2, 0, 0});
    KaCadArc const f(&flat);
    ASSERT_TRUE(f.IsOk());
    double const r = (1.0 + 1e-12) / 2e-6;
    EXPECT_NEAR(f.GetRadius() / r, 1.0, 1e-8);
    EXPECT_NEAR(f.GetCenter().x, 1.0, 1e-6);
    EXPECT_NEAR(f.GetCenter().y, 1e-6 - r, 1e-3);
}

TEST(KaCadArc, TooFewPointsLeaveTheArcAsItIs) {
    KaCadArc arc(nullptr);
    EXPECT_EQ(arc.GetStatus(), KaCadArc::StatusTooFewPoints);
    ExpectAllMeasuresZero(arc);

    KaPointList const good = MakeList({1, 0, 0}, {0, 1, 0}, {-1, 0, 0});
    EXPECT_EQ(arc.CalcArc(&good), 1);
    KaPointList two;
    two.Add(new KaPoint(1, 0, 0));
    two.Add(new KaPoint(2, 1, 0));
    EXPECT_EQ(arc.CalcArc(&two), 0);
    EXPECT_TRUE(arc.IsOk());
    EXPECT_NEAR(arc.GetRadius(), 1.0, 1e-14);

    // A collinear recalculation drops the old circle.
    KaPointList const collinear = MakeList({0, 0, 0}, {1, 0, 0}, {2, 0, 0});
    EXPECT_EQ(arc.CalcArc(&collinear), 0);
    EXPECT_EQ(arc.GetStatus(), KaCadArc::StatusCollinear);
    EXPECT_EQ(arc.GetRadius(), 0.0);
    EXPECT_EQ(arc.GetNormal()[3], 0.0);
}
