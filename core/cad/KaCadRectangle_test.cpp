#include "cad/KaCadRectangle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

KaPointList MakeList(std::initializer_list<KaPoint> points) {
    KaPointList list;
    for (KaPoint const& p : points)
        list.Add(new KaPoint(p));
    return list;
}

} // namespace

TEST(KaCadRectangle, CompletesANearlyRightCorner) {
    KaPointList const points = MakeList({KaPoint(1, 0, 0), KaPoint(2, 4, 0), KaPoint(3, 4.1, 3)});
    KaCadRectangle const rect(&points, 0.1);
    ASSERT_TRUE(rect.IsOk());
    EXPECT_NEAR(rect.GetSideALength(), 4.0, 1e-12);
    EXPECT_NEAR(rect.GetSideBLength(), 3.0, 1e-12);
    EXPECT_NEAR(rect.GetArea(), 12.0, 1e-12);
    EXPECT_NEAR(rect.GetSegmentLength(), 14.0, 1e-12);
    EXPECT_NEAR(rect.GetAngle(), std::acos(0.4 / (4.0 * std::sqrt(9.01))), 1e-12);

    KaPointList const& corners = rect.GetCorners();
    ASSERT_EQ(corners.Count(), 4);
    EXPECT_EQ(corners.Get(2)->GetId(), 3u);
    EXPECT_DOUBLE_EQ(corners.Get(2)->x, 4.1); // the measured corner stays as it is
    KaPoint const* fourth = corners.Get(3);
    EXPECT_EQ(fourth->GetId(), 4u);
    EXPECT_NEAR(fourth->x, 0.0, 1e-12);
    EXPECT_NEAR(fourth->y, 3.0, 1e-12);
    EXPECT_NEAR(fourth->z, 0.0, 1e-12);

    // The same corner against a stricter tolerance.
    KaCadRectangle const strict(&points, 0.01);
    EXPECT_FALSE(strict.IsOk());
    EXPECT_EQ(strict.GetStatus(), KaCadRectangle::StatusNotRectangular);
    EXPECT_EQ(strict.GetCorners().Count(), 3);
    EXPECT_EQ(strict.GetArea(), 0.0);
    EXPECT_GT(strict.GetAngle(), 0.0);
}

TEST(KaCadRectangle, FourthCornerOfATiltedRectangleInSpace) {
    // Sides 2 * (1, 2, 2)/3 and 5 * (2, 1, -2)/3, perpendicular and in a tilted plane.
    double const ax = 1.0, ay = -2.0, az = 3.0;
    KaPoint const a(1, ax, ay, az);
    KaPoint const b(2, ax + 2.0 / 3.0, ay + 4.0 / 3.0, az + 4.0 / 3.0);
    KaPoint const c(3, b.x + 10.0 / 3.0, b.y + 5.0 / 3.0, b.z - 10.0 / 3.0);
    KaPointList const points = MakeList({a, b, c});
    KaCadRectangle const rect(&points, 1e-9);
    ASSERT_TRUE(rect.IsOk());
    EXPECT_NEAR(rect.GetSideALength(), 2.0, 1e-12);
    EXPECT_NEAR(rect.GetSideBLength(), 5.0, 1e-12);
    EXPECT_NEAR(rect.GetAngle(), std::numbers::pi / 2.0, 1e-12);
    KaPoint const* d = rect.GetCorners().Get(3);
    EXPECT_NEAR(d->x, ax + 10.0 / 3.0, 1e-12);
    EXPECT_NEAR(d->y, ay + 5.0 / 3.0, 1e-12);
    EXPECT_NEAR(d->z, az - 10.0 / 3.0, 1e-12);
}

TEST(KaCadRectangle, RejectsMissingAndDegenerateInput) {
    KaCadRectangle const none(nullptr, 0.1);
    EXPECT_EQ(none.GetStatus(), KaCadRectangle::StatusTooFewPoints);
    EXPECT_EQ(none.GetCorners().Count(), 0);

    KaPointList const two = MakeList({KaPoint(1, 0, 0), KaPoint(2, 1, 0)});
    EXPECT_EQ(KaCadRectangle(&two, 0.1).GetStatus(), KaCadRectangle::StatusTooFewPoints);

    // Coincident corners: no side, no angle.
    KaPointList const coincident = MakeList({KaPoint(1, 1, 1), KaPoint(2, 1, 1), KaPoint(3, 1, 4)});
    KaCadRectangle const c(&coincident, 0.1);
    EXPECT_EQ(c.GetStatus(), KaCadRectangle::StatusNotRectangular);
    EXPECT_EQ(c.GetAngle(), 0.0);
    EXPECT_EQ(c.GetArea(), 0.0);

    // Collinear corners: cos = +-1.
    KaPointList const collinear = MakeList({KaPoint(1, 0, 0), KaPoint(2, 1, 0), KaPoint(3, 3, 0)});
    EXPECT_EQ(KaCadRectangle(&collinear, 0.1).GetStatus(), KaCadRectangle::StatusNotRectangular);

    // A NaN coordinate must not pass the tolerance test.
    double const nan = std::numeric_limits<double>::quiet_NaN();
    KaPointList const bad = MakeList({KaPoint(1, 0, 0), KaPoint(2, 4, 0), KaPoint(3, nan, 3)});
    EXPECT_EQ(KaCadRectangle(&bad, 0.1).GetStatus(), KaCadRectangle::StatusNotRectangular);
}

TEST(KaCadRectangle, RecalculatesFromItsOwnCorners) {
    KaPointList const points = MakeList({KaPoint(1, 0, 0), KaPoint(2, 4, 0), KaPoint(3, 4, 3)});
    KaCadRectangle rect(&points, 0.1);
    ASSERT_TRUE(rect.IsOk());
    KaPointList const& own = rect.GetCorners();
    EXPECT_EQ(rect.CalcRectangle(&own, 0.1), 1);
    EXPECT_EQ(rect.GetCorners().Count(), 4);
    EXPECT_NEAR(rect.GetArea(), 12.0, 1e-12);

    // A failed recalculation leaves no stale sides behind.
    KaPointList const two = MakeList({KaPoint(1, 0, 0), KaPoint(2, 1, 0)});
    EXPECT_EQ(rect.CalcRectangle(&two, 0.1), 0);
    EXPECT_FALSE(rect.IsOk());
    EXPECT_EQ(rect.GetArea(), 0.0);
}
