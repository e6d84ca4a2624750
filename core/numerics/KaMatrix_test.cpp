#include "numerics/KaMatrix.h"

#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "runtime/KaLogger.h"
#include "textio/KaReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <numbers>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

KaVector Vec(std::initializer_list<double> values) {
    KaVector v(static_cast<int>(values.size()));
    int i = 1;
    for (double x : values)
        v[i++] = x;
    return v;
}

// The code thrown by f, or -1 when nothing is thrown.
template <class F>
int Code(F f) {
    try {
        f();
    } catch (eKaMatrixErrorCode code) {
        return code;
    }
    return -1;
}

// The largest element-wise difference, with the position that has it.
::testing::AssertionResult Near(KaMatrix const& a, KaMatrix const& b, double tol) {
    if (a.GetLines() != b.GetLines() || a.GetSpalten() != b.GetSpalten())
        return ::testing::AssertionFailure() << "dimensions differ";
    for (int i = 1; i <= a.GetLines(); ++i)
        for (int j = 1; j <= a.GetSpalten(); ++j)
            if (!(std::fabs(a.GetElem(i, j) - b.GetElem(i, j)) <= tol))
                return ::testing::AssertionFailure() << "element (" << i << ", " << j
                                                     << "): " << a.GetElem(i, j) << " vs " << b.GetElem(i, j);
    return ::testing::AssertionSuccess();
}

KaMatrix Identity(int n) {
    KaMatrix m(n, n);
    m.SetIdent();
    return m;
}

// Normal equations for u parameters with the identity appended.
KaMatrix NormalEquations(int u) {
    KaMatrix n(u + 1, 2 * u + 1);
    for (int i = 1; i <= u; ++i)
        n.SetElem(i, u + 1 + i, 1.0);
    return n;
}

std::vector<std::string> g_dbg;
void Capture(char const* text) {
    g_dbg.emplace_back(text);
}

} // namespace

TEST(KaMatrix, PivotsOnTheRelativeMaximum) {
    KaMatrix a = Make(2, 2, {0, 1, 1, 0});
    KaMatrix b = Make(2, 1, {3, 5});
    EXPECT_EQ(a.GaussLoeserRelMax(b), 0);
    EXPECT_EQ(b.GetElem(1, 1), 5);
    EXPECT_EQ(b.GetElem(2, 1), 3);

    // Row 1 has the larger element, row 2 the larger share of its row sum.
    KaMatrix rel = Make(2, 2, {3, 1000, 2, 1});
    KaMatrix rb = Make(2, 1, {1003, 3});
    ASSERT_EQ(GaussLoeserRelMax(rel, rb), 0);
    EXPECT_EQ(rel.GetElem(1, 1), 2);
    EXPECT_NEAR(rb.GetElem(1, 1), 1, 1e-12);
    EXPECT_NEAR(rb.GetElem(2, 1), 1, 1e-12);

    // Equal ratios (1/3 and 2/6): the upper row stays, and the multiplier 2 is
    // stored below the diagonal.
    KaMatrix tie = Make(2, 2, {1, 2, 2, -4});
    KaMatrix tb = Make(2, 1, {3, -2});
    ASSERT_EQ(tie.GaussLoeserRelMax(tb), 0);
    EXPECT_EQ(tie.GetElem(1, 1), 1);
    EXPECT_EQ(tie.GetElem(2, 1), 2);
    EXPECT_EQ(tie.GetElem(2, 2), -8);
    EXPECT_EQ(tb.GetElem(1, 1), 1);
    EXPECT_EQ(tb.GetElem(2, 1), 1);

    // Several right-hand sides at once: each column solves the original system.
    KaMatrix const original = Make(3, 3, {2, 1, -1, -3, -1, 2, -2, 1, 2});
    KaMatrix m(original);
    KaMatrix rhs = Make(3, 2, {8, 1, -11, 0, -3, 0});
    KaMatrix const given(rhs);
    ASSERT_EQ(m.GaussLoeserRelMax(rhs), 0);
    EXPECT_TRUE(Near(original * rhs, given, 1e-12));
    EXPECT_NEAR(rhs.GetElem(1, 1), 2, 1e-12);
    EXPECT_NEAR(rhs.GetElem(2, 1), 3, 1e-12);
    EXPECT_NEAR(rhs.GetElem(3, 1), -1, 1e-12);
}

TEST(KaMatrix, ReportsSingularSystems) {
    KaMatrix dependent = Make(2, 2, {1, 2, 2, 4});
    KaMatrix r = Make(2, 1, {1, 1});
    EXPECT_EQ(dependent.GaussLoeserRelMax(r), 1);
    KaMatrix zeroRow = Make(3, 3, {1, 2, 3, 0, 0, 0, 4, 5, 6});
    KaMatrix r3(3, 1);
    EXPECT_EQ(zeroRow.GaussLoeserRelMax(r3), 1);
    // The threshold is absolute: a well-conditioned but tiny matrix counts as singular.
    KaMatrix tiny = Make(2, 2, {1e-11, 0, 0, 1e-11});
    EXPECT_EQ(tiny.GaussLoeserRelMax(r), 1);
    KaMatrix empty(0, 0), none(0, 1);
    EXPECT_EQ(Code([&] { empty.GaussLoeserRelMax(none); }), KaErrMatrixRow);
    EXPECT_EQ(Code([&] { empty.Det(); }), KaErrMatrixRow);
}

TEST(KaMatrix, DeterminantsAgree) {
    EXPECT_EQ(Make(2, 2, {0, 1, 1, 0}).Det(), -1.0);
    EXPECT_EQ(Make(1, 1, {2}).Det(), 2.0);
    EXPECT_EQ(Make(1, 1, {1e-11}).Det(), 0.0);
    EXPECT_EQ(Make(2, 2, {1, 2, 0, 0}).Det(), 0.0);
    KaMatrix const cyclic = Make(3, 3, {0, 1, 0, 0, 0, 1, 1, 0, 0}); // two exchanges
    EXPECT_EQ(Det(cyclic), 1.0);
    EXPECT_EQ(cyclic.Sarrus(), 1.0);

    for (double s : {0.5, 1.7, -3.2, 11.0}) {
        KaMatrix const m = Make(3, 3, {s, 2, -1, 0.3, -s, 4, 7, 1, s * s});
        EXPECT_NEAR(m.Det(), m.Sarrus(), 1e-12 * std::fabs(m.Sarrus())) << "s = " << s;
    }

    // Products multiply determinants; 4 x 4 with exchanges on the way.
    KaMatrix const a = Make(4, 4, {0, 2, 1, 3, 1, 0, 0, 2, 4, 1, 0, 0, 2, 2, 5, 1});
    KaMatrix const b = Make(4, 4, {1, 0, 0, 0, 3, 2, 0, 0, -1, 4, 0.5, 0, 2, 2, 2, -3}); // det -3
    EXPECT_NEAR(Det(b), -3.0, 1e-12);
    EXPECT_NEAR(Det(a * b), Det(a) * Det(b), 1e-9 * std::fabs(Det(a)));

    // Sarrus reads the upper-left block also of a wider matrix.
    KaMatrix wide = Make(3, 4, {2, 0, 0, 9, 0, 3, 0, 9, 0, 0, 4, 9});
    EXPECT_EQ(wide.Sarrus(), 24.0);
}

TEST(KaMatrix, InvertsAndSolvesByDeterminants) {
    KaMatrix const m = Make(4, 4, {0, 2, 1, 3, 1, 0, 0, 2, 4, 1, 0, 0, 2, 2, 5, 1});
    KaMatrix inv(m);
    int err = -1;
    EXPECT_EQ(&inv.Invert(&err), &inv);
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(Near(m * inv, Identity(4), 1e-12));
    EXPECT_TRUE(Near(inv * m, Identity(4), 1e-12));

    KaMatrix singular = Make(2, 2, {1, 2, 2, 4});
    singular.Invert(&err);
    EXPECT_EQ(err, 1);
    singular.Invert(nullptr);
    KaMatrix rect(2, 3);
    EXPECT_EQ(Code([&] { rect.Invert(nullptr); }), KaErrMatrixInvert);

    KaMatrix const c = Make(3, 3, {4, 7, 2, 3, 6, 1, 2, 5, 3});
    KaVector const b = Vec({1, 2, 3});
    KaVector const x = c.Cramer(b);
    KaVector const back = c * x;
    for (int i = 1; i <= 3; ++i)
        EXPECT_NEAR(back[i], b[i], 1e-12);
}

TEST(KaMatrix, CholeskySolvesNormalEquations) {
    // y = 2 + 3 t through exactly two observations: residual 0.0, solution valid.
    int const u = 2;
    KaMatrix n = NormalEquations(u);
    for (double t : {1.0, 4.0})
        n.CalcNGLAN(Vec({1, t, 2 + 3 * t}));
    KaVector x(u);
    EXPECT_NEAR(n.Cholesky(x), 0.0, 1e-9); // zero up to rounding
    EXPECT_NEAR(x[1], 2, 1e-12);
    EXPECT_NEAR(x[2], 3, 1e-12);

    // A redundant fit: the sum of squared residuals comes back, and the last
    // diagonal element holds n'N^-1 n over it.
    KaMatrix r = NormalEquations(u);
    for (double t : {0.0, 1.0, 2.0})
        CalcNGLAN(r, Vec({1, t, t == 1.0 ? 1.0 : 0.0}));
    EXPECT_NEAR(r.Cholesky(x), 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(x[1], 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(x[2], 0.0, 1e-12);
    EXPECT_NEAR(r.GetElem(3, 3), (1.0 / 3.0) / (2.0 / 3.0), 1e-12);

    // A parameter no observation sees: zero pivot, no infinities, x untouched.
    KaMatrix blind = NormalEquations(u);
    for (double t : {1.0, 2.0, 3.0})
        blind.CalcNGLAN(Vec({0, t, t}));
    x[1] = 7, x[2] = 7;
    EXPECT_EQ(blind.Cholesky(x), 0.0);
    EXPECT_EQ(x[1], 7);
    EXPECT_EQ(x[2], 7);
}

TEST(KaMatrix, ThrowsTheCodeOfEachContract) {
    KaMatrix m(2, 2);
    KaVector v3 = Vec({1, 2, 3});
    EXPECT_EQ(Code([&] { m.GetElem(3, 1); }), KaErrMatrixGetElem);
    EXPECT_EQ(Code([&] { m.SetElem(1, 0, 1); }), KaErrMatrixSetElem);
    EXPECT_EQ(Code([&] { m[3]; }), KaErrMatrixRow);
    EXPECT_EQ(Code([&] { KaMatrix(2, 3).SetIdent(); }), KaErrMatrixNotSquare);
    EXPECT_EQ(Code([&] { m = KaMatrix(3, 3); }), KaErrMatrixAssign);
    EXPECT_EQ(Code([&] { m* KaVector(3); }), KaErrMatrixVector);
    EXPECT_EQ(Code([&] { m* KaMatrix(3, 1); }), KaErrMatrixProduct);
    EXPECT_EQ(Code([&] { m *= KaMatrix(2, 3); }), KaErrMatrixAssign); // product of other shape
    EXPECT_EQ(Code([&] { m += KaMatrix(2, 3); }), KaErrMatrixAdd);
    EXPECT_EQ(Code([&] { m - KaMatrix(3, 2); }), KaErrMatrixSub);
    EXPECT_EQ(Code([&] { m.SwapLines(1, 5); }), KaErrMatrixLine);
    EXPECT_EQ(Code([&] { m.MultLine(0, 1, 2.0); }), KaErrMatrixLine);
    EXPECT_EQ(Code([&] { m.AddLines(1, 3, 1, 2.0); }), KaErrMatrixLine);
    EXPECT_EQ(Code([&] { m.Sarrus(); }), KaErrMatrixSarrus);
    EXPECT_EQ(Code([&] { m.CalcNGLAN(v3); }), KaErrMatrixRow);
    EXPECT_EQ(Code([&] { m.MakeRotMatrix(0, 0, 0); }), KaErrMatrixRow);
    double p1 = 0, p2 = 0, p3 = 0;
    EXPECT_EQ(Code([&] { KaMatrix(1, 3).GetRotAngles(&p1, &p2, &p3); }), KaErrMatrixRow);
    // A vector longer than a row: the row is written, then the store fails.
    EXPECT_EQ(Code([&] { m.SetLine(1, v3); }), KaErrMatrixSetElem);
    EXPECT_EQ(m.GetElem(1, 1), 1);
    EXPECT_EQ(m.GetElem(1, 2), 2);
    KaVector out(3);
    EXPECT_EQ(Code([&] { m.GetRow(1, out); }), KaErrMatrixGetElem);

    KaVector v(3);
    EXPECT_EQ(Code([&] { v.SetElem(4, 1); }), KaErrVectorSetElem);
    EXPECT_EQ(Code([&] { v.GetElem(0); }), KaErrVectorGetElem);
    EXPECT_EQ(Code([&] { v[0]; }), KaErrVectorIndex);
    EXPECT_EQ(Code([&] { std::as_const(v)[4]; }), KaErrVectorIndex);
    EXPECT_EQ(Code([&] { v = KaVector(2); }), KaErrVectorAssign);
    EXPECT_EQ(Code([&] { v % KaVector(4); }), KaErrVectorCross);
    EXPECT_EQ(Code([&] { v + KaVector(2); }), KaErrVectorAdd);
    EXPECT_EQ(Code([&] { v -= KaVector(4); }), KaErrVectorAdd);
    EXPECT_EQ(Code([&] { v* KaVector(2); }), KaErrVectorDot);
}

TEST(KaMatrix, RowAndColumnOperations) {
    KaMatrix m = Make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    m.SwapLines(1, 3);
    m.MultLine(1, 2, 10.0);       // columns 2..3 of row 1
    m.AddLines(2, 3, 1, -4.0, 2); // row 2 -= 4 * row 3 over columns 1..2
    EXPECT_TRUE(Near(m, Make(3, 3, {7, 80, 90, 0, -3, 6, 1, 2, 3}), 0));

    KaVector col(3), row(2);
    m.GetRow(2, col);
    m.GetLine(3, row);
    EXPECT_EQ(col, Vec({80, -3, 2}));
    EXPECT_EQ(row, Vec({1, 2}));
    m.SetRow(1, Vec({-1, -2}));
    m.SetLine(3, Vec({5}));
    EXPECT_TRUE(Near(m, Make(3, 3, {-1, 80, 90, -2, -3, 6, 5, 2, 3}), 0));
    EXPECT_TRUE(Near(m.Transpose(), Make(3, 3, {-1, -2, 5, 80, -3, 2, 90, 6, 3}), 0));

    EXPECT_TRUE(KaMatrix(2, 2).IsIdent()); // a zero matrix counts
    EXPECT_TRUE(Make(2, 3, {1, 0, 0, 0, 0, 0}).IsIdent());
    EXPECT_FALSE(Make(2, 2, {2, 0, 0, 2}).IsIdent());
    EXPECT_EQ((2.0 / Make(1, 1, {4})).GetElem(1, 1), 2.0); // m / d, not d / m
    KaMatrix copy(m);
    copy.SetElem(1, 1, 99);
    EXPECT_EQ(m.GetElem(1, 1), -1); // copies are deep
}

TEST(KaMatrix, RotationRoundTrips) {
    KaMatrix r(3, 3);
    r.MakeRotMatrix(0.3, -0.7, 1.1);
    double b = 0, a = 0, c = 0;
    r.GetRotAngles(&b, &a, &c);
    EXPECT_NEAR(b, -0.7, 1e-12);
    EXPECT_NEAR(a, 0.3, 1e-12);
    EXPECT_NEAR(c, 1.1, 1e-12);

    for (double ta : {-3.0, -1.2, 0.0, 0.4, 2.9})
        for (double tb : {-1.5, -0.3, 0.0, 0.8, 1.5707})
            for (double tc : {-2.5, 0.0, 0.6, 3.1}) {
                KaMatrix m(3, 3);
                m.MakeRotMatrix(ta, tb, tc);
                EXPECT_TRUE(Near(m * m.Transpose(), Identity(3), 1e-14));
                m.GetRotAngles(&b, &a, &c);
                EXPECT_NEAR(a, ta, 1e-9) << ta << " " << tb << " " << tc;
                EXPECT_NEAR(b, tb, 1e-9);
                EXPECT_NEAR(c, tc, 1e-9);
            }

    // At b = pi/2 only a - c is fixed: c comes out 0 and the matrix is rebuilt.
    KaMatrix gimbal(3, 3);
    gimbal.MakeRotMatrix(0.9, std::numbers::pi / 2, 0.4);
    gimbal.GetRotAngles(&b, &a, &c);
    EXPECT_EQ(c, 0.0);
    EXPECT_NEAR(a, 0.5, 1e-12);
    KaMatrix rebuilt(3, 3);
    rebuilt.MakeRotMatrix(a, b, c);
    EXPECT_TRUE(Near(rebuilt, gimbal, 1e-12));

    // A sine rounded just past 1 still gives angles.
    KaMatrix past = Make(3, 3, {1, 0, 0, 0, 0, -(1 + 2e-16), 0, 1, 0});
    past.GetRotAngles(&b, &a, &c);
    EXPECT_EQ(b, std::numbers::pi / 2);
    EXPECT_FALSE(std::isnan(a) || std::isnan(c));

    // Axes from three points: orthonormal, u along p1 -> p2, p3 on the side of v.
    KaVector p1 = Vec({1, 1, 1}), p2 = Vec({3, 1, 1}), p3 = Vec({2, 5, 1});
    KaMatrix axes(4, 4);
    bool ok = false;
    axes.MakeRotMatrix(p1, p2, p3, &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(Near(axes, Make(4, 4, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}), 1e-15));
    KaVector q1 = Vec({0, 0, 0}), q2 = Vec({1, 2, 2}), q3 = Vec({-2, 3, 7});
    KaMatrix tilted(3, 3);
    tilted.MakeRotMatrix(q1, q2, q3, nullptr);
    EXPECT_TRUE(Near(tilted * tilted.Transpose(), Identity(3), 1e-15));
    EXPECT_NEAR(tilted.Sarrus(), 1.0, 1e-15);

    // Coincident and collinear points leave the matrix as it was.
    KaMatrix const before(axes);
    ok = true;
    axes.MakeRotMatrix(p1, p1, p3, &ok);
    EXPECT_FALSE(ok);
    KaVector far = Vec({5, 1, 1});
    axes.MakeRotMatrix(p1, p2, far, &ok);
    EXPECT_FALSE(ok);
    KaVector scaled = Vec({0.3, 0.6, 0.6});
    axes.MakeRotMatrix(q1, q2, scaled, &ok); // collinear up to rounding
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Near(axes, before, 0));
}

TEST(KaMatrix, MapsHomogeneousPoints) {
    KaMatrix p = Make(3, 3, {2, 0, 1, 0, 2, -1, 0, 0, 1});
    KaPoint pt(1, 3, 4);
    EXPECT_TRUE(p.PTrans2D(&pt));
    EXPECT_EQ(pt.x, 7);
    EXPECT_EQ(pt.y, 7);

    // Both coordinates come from the old x and y; w divides.
    KaMatrix proj = Make(3, 3, {1, 2, 0, 3, 4, 0, 1, 0, 1});
    double x = 1, y = 1;
    EXPECT_TRUE(proj.PTrans2D(&x, &y));
    EXPECT_EQ(x, 1.5);
    EXPECT_EQ(y, 3.5);

    KaMatrix flat = Make(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 0.5e-10});
    x = 1, y = 2;
    EXPECT_FALSE(flat.PTrans2D(&x, &y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    EXPECT_FALSE(KaMatrix(2, 2).PTrans2D(&x, &y)); // too small to map anything

    KaMatrix m3 = Make(4, 4, {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 2});
    KaPoint q(1, 1, 1, 1);
    EXPECT_TRUE(m3.PTrans3D(&q));
    EXPECT_EQ(q.x, 1);
    EXPECT_EQ(q.y, 1.5);
    EXPECT_EQ(q.z, 2);

    KaPointList list;
    list.Add(new KaPoint(1, 3, 1));
    list.Add(new KaPoint(2, 1, 5)); // w = 0 there: visited, left alone
    KaMatrix const shear = Make(3, 3, {1, 1, 0, 0, 1, 0, 1, 0, -1});
    EXPECT_EQ(Transform2D(&list, shear), 2);
    EXPECT_EQ(list.First()->x, 2);
    EXPECT_EQ(list.First()->y, 0.5);
    EXPECT_EQ(list.Last()->x, 1);
    EXPECT_EQ(list.Last()->y, 5);
    EXPECT_EQ(Transform3D(&list, m3), 2);
    EXPECT_EQ(Transform2D(nullptr, shear), 0);
}

TEST(KaMatrix, WritesAndReadsText) {
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

    // Round trip through a keyword file, written under a comma-decimal locale.
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    KaMatrix m = Make(2, 3, {1.0 / 3.0, -1e-300, 12345678.875, 0, 1e300, -7});
    KaVector w = Vec({std::numbers::pi, -0.1, 1234});
    std::ostringstream file;
    file.imbue(std::locale(std::locale::classic(), new Comma));
    file << "M { ";
    m.Write(file);
    file << " }\nV { ";
    w.Write(file);
    file << " }\nT { 2 2 1 2.5 x }\nZ 5\nBIG 100000 100000 1\n";

    struct Holder : LinkHdl {
        KaMatrix m{1, 1}, t{2, 2}, big{1, 1};
        KaVector v;
        long ReadM(void* arg) { return m.Read(static_cast<KaReaderObject*>(arg)); }
        long ReadT(void* arg) { return t.Read(static_cast<KaReaderObject*>(arg)); }
        long ReadBig(void* arg) { return big.Read(static_cast<KaReaderObject*>(arg)); }
        long ReadV(void* arg) { return v.Read(static_cast<KaReaderObject*>(arg)); }
    } h;
    int z = 0;
    std::istringstream in(file.str());
    KaReader reader(in, "matrices");
    KaReaderObject om("M", Link(&h, &Holder::ReadM)), ov("V", Link(&h, &Holder::ReadV)),
        ot("T", Link(&h, &Holder::ReadT)), ob("BIG", Link(&h, &Holder::ReadBig)), oz("Z", &z);
    for (KaReaderObject* o : {&om, &ov, &ot, &ob, &oz})
        reader.RegisterObject(*o);
    reader.DoProcess(false);

    ASSERT_EQ(h.m.GetLines(), 2);
    ASSERT_EQ(h.m.GetSpalten(), 3);
    EXPECT_TRUE(Near(h.m, m, 0)) << file.str();
    ASSERT_EQ(h.v.GetSize(), 3);
    EXPECT_EQ(h.v, w);
    // A word reads as 0.0; the block end is not swallowed, the rest stays 0.0.
    EXPECT_TRUE(Near(h.t, Make(2, 2, {1, 2.5, 0, 0}), 0));
    EXPECT_EQ(z, 5);
    // A size no file holds is an error of its record, which stays as it was.
    EXPECT_EQ(h.big.GetLines(), 1);
    EXPECT_EQ(reader.GetReadErrorCount(), 1);
}

TEST(KaMatrix, DebugPrinting) {
    g_dbg.clear();
    KaDbgprintfSink const previous = KaSetDbgprintfSink(&Capture);
    Make(2, 2, {1, -0.5, 0, 2}).DbgPrintf("M");
    Vec({1.25, 3}).DbgPrintf(nullptr);
    KaSetDbgprintfSink(previous);
    std::vector<std::string> const expected = {"M", "1.00000   -0.50000   ", "0.00000   2.00000   ",
                                               "1.25000   3.00000   "};
    EXPECT_EQ(g_dbg, expected);
}

TEST(KaVector, ArithmeticAndTypes) {
    KaPoint const p(0, 1, 2, 3);
    EXPECT_EQ(KaVector(p, KaVectorXY0), Vec({1, 2, 0}));
    EXPECT_EQ(KaVector(p, KaVectorXY1), Vec({1, 2, 1}));
    EXPECT_EQ(KaVector(p, KaVectorXYZ), Vec({1, 2, 3}));
    EXPECT_EQ(KaVector(p, KaVectorXYZW), Vec({1, 2, 3, 0}));
    EXPECT_EQ(p.GetAsVector(), Vec({1, 2, 3}));

    KaVector v = Vec({1, 2, 3});
    v.ChangeType(KaVectorXYZW);
    EXPECT_EQ(v, Vec({1, 2, 3, 1}));
    v.ChangeType(KaVectorXYZW); // already 4 elements: unchanged
    EXPECT_EQ(v.GetSize(), 4);
    KaVector v0(v), v1(v), v2(v);
    v0.ChangeType(KaVectorXY0);
    v1.ChangeType(KaVectorXY1);
    v2.ChangeType(KaVectorXYZ);
    EXPECT_EQ(v0, Vec({1, 2, 0}));
    EXPECT_EQ(v1, Vec({1, 2, 1}));
    EXPECT_EQ(v2, Vec({1, 2, 3}));
    EXPECT_NE(v2, Vec({1, 2, 3 + 1e-15}));
    EXPECT_NE(v2, Vec({1, 2}));

    KaVector const a = Vec({1, 2, 3}), b = Vec({-2, 0.5, 4});
    KaVector const cross = a % b;
    EXPECT_EQ(cross, Vec({2 * 4 - 3 * 0.5, 3 * -2 - 1 * 4, 1 * 0.5 - 2 * -2}));
    EXPECT_EQ(cross * a, 0.0);
    EXPECT_EQ(cross * b, 0.0);
    EXPECT_EQ((a + b) - b, a);
    EXPECT_EQ(2.0 * a, a * 2.0);
    EXPECT_EQ(2.0 / Vec({4, 8}), Vec({2, 4})); // v / d, not d / v
    EXPECT_EQ(abs(Vec({3, 4})), 5.0);
    EXPECT_EQ(KaVector().Abs(), 0.0);

    KaVector n = Vec({3, 4, 12});
    EXPECT_FALSE(n.IsNormalized(1e-12));
    EXPECT_TRUE(n.Normalize().IsNormalized(1e-15));
    EXPECT_TRUE(std::isnan(KaVector(2).Normalize()[1]));
    n.Clear();
    EXPECT_EQ(n, KaVector(3));
}
