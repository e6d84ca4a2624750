#include "cad/KaCadOrthoLine.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

void ExpectPoint(KaPoint3d const& p, double x, double y, double z) {
    EXPECT_EQ(p.x(), x);
    EXPECT_EQ(p.y(), y);
    EXPECT_EQ(p.z(), z);
}

} // namespace

TEST(KaCadOrthoLine, FollowsTheDominantAxis) {
    KaPoint3d const origin(0, 0, 0);
    KaCadOrthoLine const a(origin, KaPoint3d(5, 2, 1));
    EXPECT_TRUE(a.IsValid());
    ExpectPoint(a.Result(), 5, 0, 0);
    ExpectPoint(a.Target(), 5, 2, 1);

    ExpectPoint(KaCadOrthoLine(origin, KaPoint3d(2, 2, 0)).Result(), 2, 0, 0);   // x wins a tie
    ExpectPoint(KaCadOrthoLine(origin, KaPoint3d(1, -3, 3)).Result(), 0, -3, 0); // y before z
    KaPoint3d const start(1, 2, 3);
    ExpectPoint(KaCadOrthoLine(start, KaPoint3d(0, 1, -7)).Result(), 1, 2, -7);
    ExpectPoint(KaCadOrthoLine(start, KaPoint3d(-4, 2.5, 3)).Result(), -4, 2, 3);
}

TEST(KaCadOrthoLine, RejectsCoincidentAndNonFinitePoints) {
    KaPoint3d const p(1, 2, 3);
    KaCadOrthoLine const same(p, p);
    EXPECT_FALSE(same.IsValid());
    ExpectPoint(same.Result(), 1, 2, 3);

    double const nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(KaCadOrthoLine(p, KaPoint3d(nan, 0, 0)).IsValid());
    double const inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(KaCadOrthoLine(p, KaPoint3d(inf, 0, 0)).IsValid());

    KaCadOrthoLine copy(same);
    copy = KaCadOrthoLine(p, KaPoint3d(1, 9, 3));
    EXPECT_TRUE(copy.IsValid());
    ExpectPoint(copy.Result(), 1, 9, 3);
}
