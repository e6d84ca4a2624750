#include "geometry/KaMatrix3d.h"

#include "geometry/KaAffinMap3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

KaVector Vec(double x, double y, double z) {
    KaVector v(3);
    v[1] = x;
    v[2] = y;
    v[3] = z;
    return v;
}

// The homogeneous KaMatrix of an affine map.
KaMatrix Homogeneous(KaAffinMap3d const& m) {
    KaMatrix h(4, 4);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            h.SetElem(i + 1, j + 1, m[i][j]);
    return h;
}

} // namespace

TEST(KaMatrix3d, NormalsAxesAndAngles) {
    // The normal of z = 0 under a map is the mapped z axis (up to the map's handedness).
    KaAffinMap3d const r = Tl(3, -1, 2) * RotXYZ(0.2, -0.6, 1.3);
    KaMatrix h = Homogeneous(r * S(2, 2, 2));
    KaVector n(3);
    ASSERT_TRUE(CalcNormVect(&n, h));
    KaVector3d const z = r.Transform(KaVector3d(0, 0, 1));
    for (int i = 1; i <= 3; ++i)
        EXPECT_NEAR(n[i], z[i - 1], 1e-15);

    // A point mapped to infinity: no normal, n unchanged.
    h.SetElem(4, 2, -1.0);
    h.SetElem(4, 4, 1.0); // w of (0, 1, 0) is 0
    KaVector const before(n);
    EXPECT_FALSE(CalcNormVect(&n, h));
    EXPECT_EQ(n, before);

    KaVector ax(3), ay(3);
    EXPECT_TRUE(CalcArbitaryAlg(&ax, &ay, Vec(0.3, -0.4, 2)));
    KaVector3d x, y;
    ArbAxisAlg(KaVector3d(0.3, -0.4, 2), x, y);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(ax[i], x[i - 1]);
        EXPECT_EQ(ay[i], y[i - 1]);
    }

    EXPECT_NEAR(CalcAngle(Vec(1, 0, 0), Vec(0, 5, 0)), std::numbers::pi / 2, 1e-15);
    EXPECT_EQ(CalcAngle(Vec(1, 2, 3), Vec(2, 4, 6)), 0.0);
    // Rounding carries this cosine just below -1.
    EXPECT_EQ(CalcAngle(Vec(-2.4, 7.8, 0.5), Vec(2.4, -7.8, -0.5)), std::numbers::pi);
}
