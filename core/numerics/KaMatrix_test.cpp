#include "numerics/KaMatrix.h"

#include "model/KaPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

KaMatrix Make(int rows, int cols, std::initializer_list<double> values) {
    KaMatrix m(rows, cols);
    int k = 0;
    for (double v : values) {
        m.SetElem(k / cols + 1, k % cols + 1, v);
        ++k;
    }
    return m;
}

template <class F>
int Code(F f) {
    try {
        f();
    } catch (eKaMatrixErrorCode code) {
        return code;
    }
    return -1;
}

} // namespace

TEST(KaMatrix, SolvesWithRelativeMaximumPivoting) {
    KaMatrix a = Make(2, 2, {0, 1, 1, 0});
    KaMatrix b = Make(2, 1, {3, 5});
    EXPECT_EQ(a.GaussLoeserRelMax(b), 0);
    EXPECT_EQ(b.GetElem(1, 1), 5);
    EXPECT_EQ(b.GetElem(2, 1), 3);

    // A general system: the solution satisfies the original equations.
    KaMatrix const original = Make(3, 3, {2, 1, -1, -3, -1, 2, -2, 1, 2});
    KaMatrix m(original);
    KaMatrix rhs = Make(3, 1, {8, -11, -3});
    ASSERT_EQ(GaussLoeserRelMax(m, rhs), 0);
    EXPECT_NEAR(rhs.GetElem(1, 1), 2, 1e-12);
    EXPECT_NEAR(rhs.GetElem(2, 1), 3, 1e-12);
    EXPECT_NEAR(rhs.GetElem(3, 1), -1, 1e-12);

    KaMatrix singular = Make(2, 2, {1, 2, 2, 4});
    KaMatrix r = Make(2, 1, {1, 1});
    EXPECT_EQ(singular.GaussLoeserRelMax(r), 1);
    KaMatrix empty(0, 0), none(0, 1);
    EXPECT_EQ(Code([&] { empty.GaussLoeserRelMax(none); }), KaErrMatrixRow);
}

TEST(KaMatrix, DeterminantsAndInverses) {
    EXPECT_EQ(Make(2, 2, {0, 1, 1, 0}).Det(), -1.0);
    EXPECT_EQ(Make(1, 1, {2}).Det(), 2.0);
    EXPECT_EQ(Make(2, 2, {1, 2, 0, 0}).Det(), 0.0);
    KaMatrix const m = Make(3, 3, {4, 7, 2, 3, 6, 1, 2, 5, 3});
    EXPECT_NEAR(m.Det(), m.Sarrus(), 1e-12);

    KaMatrix inv(m);
    int err = -1;
    inv.Invert(&err);
    EXPECT_EQ(err, 0);
    KaMatrix ident(3, 3);
    ident.SetIdent();
    KaMatrix const product = m * inv;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            EXPECT_NEAR(product.GetElem(i, j), ident.GetElem(i, j), 1e-12);

    KaMatrix singular = Make(2, 2, {1, 2, 2, 4});
    singular.Invert(&err);
    EXPECT_EQ(err, 1);
    KaMatrix rect(2, 3);
    EXPECT_EQ(Code([&] { rect.Invert(nullptr); }), KaErrMatrixInvert);

    KaVector b(3);
    b[1] = 1, b[2] = 2, b[3] = 3;
    KaVector const x = m.Cramer(b);
    KaVector const back = m * x;
    EXPECT_NEAR(back[2], 2, 1e-12);
}

TEST(KaMatrix, CholeskyOnNormalEquations) {
    // y = 2 + 3 t through exactly two observations: residual 0.0, solution valid.
    int const u = 2;
    KaMatrix n(u + 1, 2 * u + 1);
    for (int i = 1; i <= u; ++i)
        n.SetElem(i, u + 1 + i, 1.0);
    for (double t : {1.0, 4.0}) {
        KaVector v(u + 1);
        v[1] = 1, v[2] = t, v[3] = 2 + 3 * t;
        n.CalcNGLAN(v);
    }
    KaVector x(u);
    EXPECT_NEAR(n.Cholesky(x), 0.0, 1e-9);
    EXPECT_NEAR(x[1], 2, 1e-12);
    EXPECT_NEAR(x[2], 3, 1e-12);

    // A redundant fit: the sum of squared residuals comes back.
    KaMatrix r(u + 1, 2 * u + 1);
    for (int i = 1; i <= u; ++i)
        r.SetElem(i, u + 1 + i, 1.0);
    for (double t : {0.0, 1.0, 2.0}) {
        KaVector v(u + 1);
        v[1] = 1, v[2] = t, v[3] = t == 1.0 ? 1.0 : 0.0;
        r.CalcNGLAN(v);
    }
    EXPECT_NEAR(r.Cholesky(x), 2.0 / 3.0, 1e-12);
}

TEST(KaMatrix, ContractsAndChecks) {
    KaMatrix m(2, 2);
    EXPECT_EQ(Code([&] { m.GetElem(3, 1); }), KaErrMatrixGetElem);
    EXPECT_EQ(Code([&] { m.SetElem(1, 0, 1); }), KaErrMatrixSetElem);
    EXPECT_EQ(Code([&] { m[3]; }), KaErrMatrixRow);
    EXPECT_EQ(Code([&] { KaMatrix(2, 3).SetIdent(); }), KaErrMatrixNotSquare);
    EXPECT_EQ(Code([&] { m = KaMatrix(3, 3); }), KaErrMatrixAssign);
    EXPECT_EQ(Code([&] { m.SwapLines(1, 5); }), KaErrMatrixLine);
    EXPECT_EQ(Code([&] { KaMatrix(2, 2).Sarrus(); }), KaErrMatrixSarrus);
    KaVector v(3);
    EXPECT_EQ(Code([&] { m.SetLine(1, v); }), KaErrMatrixSetElem);
    EXPECT_EQ(m.GetElem(1, 2), 0.0);
    EXPECT_EQ(Code([&] { v[0]; }), KaErrVectorIndex);
    EXPECT_EQ(Code([&] { v = KaVector(2); }), KaErrVectorAssign);
    EXPECT_EQ(Code([&] { v % KaVector(4); }), KaErrVectorCross);
    EXPECT_TRUE(KaMatrix(2, 2).IsIdent());
    EXPECT_FALSE(Make(2, 2, {2, 0, 0, 2}).IsIdent());
    EXPECT_EQ((2.0 / Make(1, 1, {4})).GetElem(1, 1), 2.0); // m / d, not d / m
}

TEST(KaMatrix, RotationsAndProjectiveMaps) {
    KaMatrix r(3, 3);
    r.MakeRotMatrix(0.3, -0.7, 1.1);
    double b = 0, a = 0, c = 0;
    r.GetRotAngles(&b, &a, &c);
    EXPECT_NEAR(b, -0.7, 1e-12);
    EXPECT_NEAR(a, 0.3, 1e-12);
    EXPECT_NEAR(c, 1.1, 1e-12);
    EXPECT_NEAR((r * r.Transpose()).GetElem(2, 2), 1.0, 1e-12);

    KaMatrix p = Make(3, 3, {2, 0, 1, 0, 2, -1, 0, 0, 1});
    KaPoint pt(1, 3, 4);
    EXPECT_TRUE(p.PTrans2D(&pt));
    EXPECT_EQ(pt.x, 7);
    EXPECT_EQ(pt.y, 7);
    KaMatrix flat = Make(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 0.5e-10});
    double x = 1, y = 2;
    EXPECT_FALSE(flat.PTrans2D(&x, &y));
    EXPECT_EQ(x, 1);
    EXPECT_FALSE(KaMatrix(2, 2).PTrans2D(&x, &y)); // too small to map anything
}

TEST(KaMatrix, TextLayout) {
    std::ostringstream os;
    Make(2, 2, {1, 0.5, -2, 0.25}).Write(os);
    std::string const pad = std::string(23, ' ');
    EXPECT_EQ(os.str(), "2 2\n" + pad + " 1" + std::string(21, ' ') + " 0.5\n" + pad + "-2" +
                            std::string(19, ' ') + "  0.25");
    KaVector v(2);
    v[1] = 1.5, v[2] = 2.0 / 3.0;
    std::ostringstream vs;
    v.Write(vs);
    EXPECT_EQ(vs.str(), "2 " + std::string(18, ' ') + "1.5 " + std::string(3, ' ') + "0.6666666666666666");
}
