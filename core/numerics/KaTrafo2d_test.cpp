#include "numerics/KaTrafo2d.h"

#include "geometry/KaRegion.h"
#include "numerics/KaMatrix.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <locale>
#include <sstream>
#include <string>

namespace {

using Mapping = std::function<void(double X, double Y, double& x, double& y)>;

// Source points on a slightly irregular grid, and their images as control points.
void MakePairs(KaPointList& sources, KaPointList& targets, Mapping const& f, int nx, int ny, double x0,
               double y0, double step) {
    unsigned int id = 100;
    for (int i = 0; i < nx; ++i) {
        for (int j = 0; j < ny; ++j) {
            double const X = x0 + step * (i + 0.13 * ((i * 7 + j * 3) % 5));
            double const Y = y0 + step * (j + 0.11 * ((i * 2 + j * 5) % 7));
            double x = 0, y = 0;
            f(X, Y, x, y);
            sources.Add(new KaPoint(id, X, Y));
            targets.Add(new KaPoint(id, x, y));
            ++id;
        }
    }
}

// The largest distance between a transformed source point and its control point.
double WorstMiss(KaTrafo2d const& trafo, KaPointList const& sources, KaPointList const& targets) {
    double worst = 0;
    for (KaPoint const* q = sources.First(); q; q = q->Next()) {
        KaPoint const* t = targets.Find(q->GetId());
        if (!t)
            continue;
        double x = q->x, y = q->y;
        EXPECT_TRUE(trafo.Transform(&x, &y));
        worst = std::max(worst, std::hypot(x - t->x, y - t->y));
    }
    return worst;
}

bool Fit(KaCalcTrafo2D& fit, eKaTrafo2DType kind, KaPointList* sources) {
    switch (kind) {
    case KaTrafo2DHelmert:
        return fit.CalcTrafoHelmert(sources);
    case KaTrafo2DAffin:
        return fit.CalcTrafoAffin(sources);
    case KaTrafo2DProjektiv:
        return fit.CalcTrafoProjectiv(sources);
    default:
        return fit.CalcTrafoPolynom(sources);
    }
}

// Known transformations of each kind, given by their equations.
void Helmert(double X, double Y, double& x, double& y) {
    double const a = 1.7 * std::cos(0.4), b = 1.7 * std::sin(0.4);
    x = -12.5 + a * X - b * Y;
    y = 40.25 + b * X + a * Y;
}
void Affine(double X, double Y, double& x, double& y) {
    x = 3 + 0.9 * X - 0.2 * Y;
    y = -7 + 0.35 * X + 1.4 * Y;
}
void Projective(double X, double Y, double& x, double& y) {
    double const w = 0.01 * X - 0.02 * Y + 1;
    x = (2 * X + 0.5 * Y + 3) / w;
    y = (-0.3 * X + 1.5 * Y - 1) / w;
}
void Cubic(double X, double Y, double& x, double& y) {
    x = 1 + 2 * X - Y + 0.1 * X * X - 0.05 * X * Y + 0.01 * X * X * X + 0.02 * Y * Y * Y;
    y = -2 + 0.5 * X + 3 * Y + 0.2 * Y * Y + 0.03 * X * X * Y - 0.01 * X * Y * Y;
}

} // namespace

TEST(KaTrafo2d, TransformsAndInverts) {
    KaTrafo2d t;
    EXPECT_EQ(t.GetType(), KaTrafo2DNone);
    EXPECT_STREQ(t.GetTrafoName(), "None");
    double x = 3, y = 4;
    EXPECT_FALSE(t.Transform(&x, &y));
    t.type = KaTrafo2DInvHelmert;
    EXPECT_STREQ(t.GetTrafoName(), "Inv. Helmert");
    EXPECT_FALSE(t.Transform(&x, &y));
    EXPECT_EQ(x, 3);

    t.SetIdent();
    EXPECT_TRUE(t.Transform(&x, &y));
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 4);

    t.p[0] = 10, t.p[1] = 1.5, t.p[2] = -4, t.p[3] = -0.5;
    KaPoint pt(1, 3, 4);
    ASSERT_TRUE(t.Transform(&pt));
    EXPECT_DOUBLE_EQ(pt.x, 10 + 4.5 + 2);
    EXPECT_DOUBLE_EQ(pt.y, -4 - 1.5 + 6);
    ASSERT_TRUE(t.TransInvHelmert(&pt));
    EXPECT_DOUBLE_EQ(pt.x, 3);
    EXPECT_DOUBLE_EQ(pt.y, 4);
    t.p[1] = t.p[3] = 0;
    EXPECT_FALSE(t.TransInvHelmert(&pt));
    EXPECT_FALSE(t.Transform(static_cast<KaPoint*>(nullptr)));

    // A projective point on the vanishing line is left alone.
    KaTrafo2d proj;
    proj.type = KaTrafo2DProjektiv;
    proj.p[0] = proj.p[4] = 1;
    proj.p[6] = 1;
    x = -1, y = 5;
    EXPECT_FALSE(proj.Transform(&x, &y));
    EXPECT_EQ(x, -1);
}

TEST(KaTrafo2d, MatrixFormAgreesWithTransform) {
    KaTrafo2d t;
    for (int i = 0; i < KaTrafo2d::MaxCoefficients; ++i)
        t.p[i] = 0.1 * (i + 1) * (i % 2 ? -1 : 1);
    t.p[6] = 0.01, t.p[7] = -0.02;
    for (eKaTrafo2DType kind : {KaTrafo2DHelmert, KaTrafo2DAffin, KaTrafo2DProjektiv}) {
        t.type = kind;
        KaMatrix m(3, 3);
        t.BuildMatrix(&m);
        double x = 2.5, y = -1.25, mx = x, my = y;
        ASSERT_TRUE(t.Transform(&x, &y));
        ASSERT_TRUE(m.PTrans2D(&mx, &my));
        EXPECT_NEAR(mx, x, 1e-14) << kind;
        EXPECT_NEAR(my, y, 1e-14) << kind;
    }
    t.type = KaTrafo2DPolynomial;
    KaMatrix m(3, 3);
    t.BuildMatrix(&m);
    EXPECT_TRUE(m.IsIdent());
    EXPECT_EQ(m.GetElem(1, 1), 1.0);
}

TEST(KaCalcTrafo2D, HelmertThroughTwoPoints) {
    KaPointList targets, sources;
    targets.Add(new KaPoint(1, 10, 20));
    targets.Add(new KaPoint(2, 12, 20));
    sources.Add(new KaPoint(1, 0, 0));
    sources.Add(new KaPoint(2, 1, 0));
    KaCalcTrafo2D fit(&targets);
    ASSERT_TRUE(fit.CalcTrafoHelmert(&sources));
    EXPECT_EQ(fit.GetType(), KaTrafo2DHelmert);
    EXPECT_NEAR(fit.p[1], 2, 1e-14);
    EXPECT_NEAR(fit.p[3], 0, 1e-14);
    EXPECT_NEAR(fit.p[0], 10, 1e-13);
    EXPECT_NEAR(fit.p[2], 20, 1e-13);
    EXPECT_NEAR(fit.GetScale(), 0.5, 1e-15);
    ASSERT_TRUE(fit.CalcResiduals(&sources));
    EXPECT_NEAR(fit.GetResidualX(), 0, 1e-12);
    EXPECT_NEAR(fit.GetResidualY(), 0, 1e-12);
    if (fit.GetResidualX() == 0 && fit.GetResidualY() == 0) {
        EXPECT_EQ(fit.GetMaxError(), 0u);
    }

    // All sources in one place: the scale factor comes out 0.
    KaPointList same;
    same.Add(new KaPoint(1, 5, 5));
    same.Add(new KaPoint(2, 5, 5));
    KaCalcTrafo2D flat(&targets);
    EXPECT_FALSE(flat.CalcTrafoHelmert(&same));
    EXPECT_EQ(flat.GetScale(), 0.0);
    EXPECT_EQ(flat.GetType(), KaTrafo2DHelmert);
}

TEST(KaCalcTrafo2D, EachKindRecoversExactData) {
    struct Case {
        eKaTrafo2DType kind;
        Mapping f;
    };
    Case const cases[] = {{KaTrafo2DHelmert, Helmert},
                          {KaTrafo2DAffin, Affine},
                          {KaTrafo2DProjektiv, Projective},
                          {KaTrafo2DPolynomial, Cubic}};
    for (Case const& c : cases) {
        KaPointList sources, targets;
        MakePairs(sources, targets, c.f, 5, 4, -6, -3, 2.5);
        // Unpaired points on either side do not disturb the fit.
        sources.Add(new KaPoint(1, 1e6, -1e6));
        targets.Add(new KaPoint(2, 1e6, -1e6));
        KaCalcTrafo2D fit(&targets);
        ASSERT_TRUE(Fit(fit, c.kind, &sources)) << c.kind;
        EXPECT_EQ(fit.GetType(), c.kind);
        EXPECT_LT(WorstMiss(fit, sources, targets), 1e-11) << c.kind;
        // The coefficients have the meaning of the equations: applied to a point
        // far from the data they give the known transformation's answer.
        double x = 11.5, y = -9, ex = 0, ey = 0;
        c.f(x, y, ex, ey);
        fit.Transform(&x, &y);
        EXPECT_NEAR(x, ex, 1e-9 * (1 + std::fabs(ex))) << c.kind;
        EXPECT_NEAR(y, ey, 1e-9 * (1 + std::fabs(ey))) << c.kind;
    }

    // The projective coefficients themselves.
    KaPointList sources, targets;
    MakePairs(sources, targets, Projective, 3, 3, 0, 0, 4);
    KaCalcTrafo2D fit(&targets);
    ASSERT_TRUE(fit.CalcTrafoProjectiv(&sources));
    double const expected[8] = {2, 0.5, 3, -0.3, 1.5, -1, 0.01, -0.02};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(fit.p[i], expected[i], 1e-12) << i;
}

TEST(KaCalcTrafo2D, KeepsTheLeastSquaresSolutionOnNoisyData) {
    // In small coordinates the plain normal equations are well conditioned: the
    // fits must give their solution, the projective one included.
    struct Case {
        eKaTrafo2DType kind;
        Mapping f;
    };
    Case const cases[] = {{KaTrafo2DHelmert, Helmert},
                          {KaTrafo2DAffin, Affine},
                          {KaTrafo2DProjektiv, Projective},
                          {KaTrafo2DPolynomial, Cubic}};
    for (Case const& c : cases) {
        KaPointList sources, targets;
        MakePairs(sources, targets, c.f, 5, 5, 1, 2, 1.5);
        int k = 0;
        for (KaPoint* t = targets.First(); t; t = t->Next(), ++k) {
            t->x += 0.01 * ((k * 37) % 11 - 5);
            t->y -= 0.01 * ((k * 23) % 7 - 3);
        }
        KaCalcTrafo2D fit(&targets);
        ASSERT_TRUE(Fit(fit, c.kind, &sources));

        int const u = KaTrafo2d::CoefficientCount(c.kind);
        KaMatrix normal(u + 1, 2 * u + 1);
        for (int i = 1; i <= u; ++i)
            normal.SetElem(i, u + 1 + i, 1);
        for (KaPoint const* q = sources.First(); q; q = q->Next()) {
            KaPoint const* t = targets.Find(q->GetId());
            double const X = q->x, Y = q->y, x = t->x, y = t->y;
            KaVector rx(u + 1), ry(u + 1);
            if (c.kind == KaTrafo2DHelmert) {
                rx[1] = 1, rx[3] = X, rx[4] = -Y, rx[5] = x;
                ry[2] = 1, ry[3] = Y, ry[4] = X, ry[5] = y;
            } else if (c.kind == KaTrafo2DAffin) {
                rx[1] = 1, rx[2] = X, rx[3] = Y, rx[7] = x;
                ry[4] = 1, ry[5] = X, ry[6] = Y, ry[7] = y;
            } else if (c.kind == KaTrafo2DProjektiv) {
                rx[1] = X, rx[2] = Y, rx[3] = 1, rx[7] = -x * X, rx[8] = -x * Y, rx[9] = x;
                ry[4] = X, ry[5] = Y, ry[6] = 1, ry[7] = -y * X, ry[8] = -y * Y, ry[9] = y;
            } else {
                double const terms[10] = {1,     X,         Y,         X * X,     X * Y,
                                          Y * Y, X * X * X, X * X * Y, X * Y * Y, Y * Y * Y};
                for (int i = 0; i < 10; ++i)
                    rx[i + 1] = ry[i + 11] = terms[i];
                rx[21] = x, ry[21] = y;
            }
            normal.CalcNGLAN(rx);
            normal.CalcNGLAN(ry);
        }
        KaVector solution(u);
        normal.Cholesky(solution);
        double expected[KaTrafo2d::MaxCoefficients] = {};
        for (int i = 0; i < u; ++i)
            expected[i] = solution[i + 1];
        if (c.kind == KaTrafo2DHelmert) {
            expected[0] = solution[1], expected[1] = solution[3], expected[2] = solution[2];
        }
        for (int i = 0; i < u; ++i)
            EXPECT_NEAR(fit.p[i], expected[i], 1e-8 * (1 + std::fabs(expected[i]))) << c.kind << " p" << i;
    }
}

TEST(KaCalcTrafo2D, ReproducesMapCoordinatesFromPixels) {
    // Scanned pixels up to 20 000 against national-grid coordinates around
    // (5 000 000, 5 000 000) spread over 1 000 units.
    Mapping const mappings[] = {
        [](double X, double Y, double& x, double& y) {
            x = 5000000.123 + 0.05 * X - 0.0012 * Y;
            y = 4999500.456 + 0.0012 * X + 0.05 * Y;
        },
        [](double X, double Y, double& x, double& y) {
            x = 5000000.123 + 0.0501 * X - 0.0012 * Y;
            y = 4999500.456 + 0.0013 * X + 0.0498 * Y;
        },
        [](double X, double Y, double& x, double& y) {
            double const w = 1 + 2e-6 * X - 1.5e-6 * Y;
            x = 5000000.123 + (0.0501 * X - 0.0012 * Y) / w;
            y = 4999500.456 + (0.0013 * X + 0.0498 * Y) / w;
        },
        [](double X, double Y, double& x, double& y) {
            double const u = X / 10000 - 1, v = Y / 10000 - 1;
            x = 5000500 +
                500 * (u - 0.02 * v + 0.003 * u * u - 0.002 * u * v + 0.001 * u * u * u - 0.0015 * v * v * v);
            y = 5000000 + 500 * (0.03 * u + v + 0.002 * v * v + 0.001 * u * u * v - 0.002 * u * v * v);
        },
    };
    eKaTrafo2DType const kinds[] = {KaTrafo2DHelmert, KaTrafo2DAffin, KaTrafo2DProjektiv,
                                    KaTrafo2DPolynomial};
    for (int k = 0; k < 4; ++k) {
        for (int grid : {2, 4, 10}) {
            if (kinds[k] == KaTrafo2DPolynomial && grid * grid < 10)
                continue;
            KaPointList sources, targets;
            MakePairs(sources, targets, mappings[k], grid, grid, 37, 112, 19000.0 / grid);
            KaCalcTrafo2D fit(&targets);
            ASSERT_TRUE(Fit(fit, kinds[k], &sources)) << kinds[k];
            EXPECT_LT(WorstMiss(fit, sources, targets), 1e-6) << kinds[k] << " on " << grid * grid;
            ASSERT_TRUE(fit.CalcResiduals(&sources));
            EXPECT_LT(fit.GetResidualX(), 1e-6);
            EXPECT_LT(fit.GetResidualY(), 1e-6);
        }
    }
    // The other way round, map coordinates to pixels, for the linear kinds.
    for (int k = 0; k < 2; ++k) {
        KaPointList pixels, map;
        MakePairs(pixels, map, mappings[k], 6, 6, 37, 112, 3000);
        KaCalcTrafo2D fit(&pixels);
        ASSERT_TRUE(Fit(fit, kinds[k], &map));
        EXPECT_LT(WorstMiss(fit, map, pixels), 1e-6) << kinds[k];
    }
}

TEST(KaCalcTrafo2D, TooFewPointsChangeNothing) {
    KaPointList sources, targets;
    MakePairs(sources, targets, Affine, 3, 3, 0, 0, 1);
    KaCalcTrafo2D fit(&targets);
    ASSERT_TRUE(fit.CalcTrafoAffin(&sources));
    KaCalcTrafo2D const before(fit);

    KaPointList nine(sources);
    EXPECT_FALSE(fit.CalcTrafoPolynom(&nine));
    delete nine.Subtract(nine.Last());
    for (int i = 0; i < 5; ++i)
        delete nine.Subtract(nine.Last());
    EXPECT_EQ(nine.Count(), 3);
    EXPECT_FALSE(fit.CalcTrafoProjectiv(&nine));
    delete nine.Subtract(nine.Last());
    EXPECT_FALSE(fit.CalcTrafoAffin(&nine));
    delete nine.Subtract(nine.Last());
    EXPECT_FALSE(fit.CalcTrafoHelmert(&nine));
    EXPECT_FALSE(fit.CalcTrafoHelmert(nullptr));
    EXPECT_FALSE(fit.CalcTrafoPolynom(nullptr)); // the own act list is empty

    EXPECT_EQ(fit.GetType(), before.GetType());
    for (int i = 0; i < KaTrafo2d::MaxCoefficients; ++i)
        EXPECT_EQ(fit.p[i], before.p[i]);
    EXPECT_EQ(fit.GetScale(), 1.0);

    // Three points with only two partners pass the count but give no usable fit.
    KaPointList three;
    three.Add(new KaPoint(1, -1, 0));
    three.Add(new KaPoint(2, 1, 0));
    three.Add(new KaPoint(77, 0, 1));
    KaPointList partners;
    partners.Add(new KaPoint(1, 0, -1));
    partners.Add(new KaPoint(2, 0, 1));
    KaCalcTrafo2D singular(&partners);
    EXPECT_TRUE(singular.CalcTrafoAffin(&three));
    bool allZero = true, anyNonFinite = false;
    for (int i = 0; i < 6; ++i) {
        allZero = allZero && singular.p[i] == 0.0;
        anyNonFinite = anyNonFinite || !std::isfinite(singular.p[i]);
    }
    EXPECT_TRUE(allZero || anyNonFinite);
}

TEST(KaCalcTrafo2D, ResidualsOverMatchedPoints) {
    KaPointList targets, sources;
    for (unsigned int i = 1; i <= 4; ++i)
        targets.Add(new KaPoint(i, 0, 0));
    KaCalcTrafo2D fit(&targets);
    fit.SetIdent(); // sources map onto themselves
    sources.Add(new KaPoint(1, 3, 0));
    sources.Add(new KaPoint(2, 0, -3)); // as large as point 1: point 1 stays the worst
    sources.Add(new KaPoint(3, 1, 1));
    sources.Add(new KaPoint(9, 50, 50)); // no partner
    sources.Last()->dx = 7;
    ASSERT_TRUE(fit.CalcResiduals(&sources));
    EXPECT_DOUBLE_EQ(fit.GetResidualX(), std::sqrt((9.0 + 0 + 1) / 3));
    EXPECT_DOUBLE_EQ(fit.GetResidualY(), std::sqrt((0 + 9.0 + 1) / 3));
    EXPECT_EQ(fit.GetMaxError(), 1u);
    EXPECT_EQ(sources.Get(1)->dy, -3);
    EXPECT_TRUE(IsPointTrafo2DUsed(sources.Get(2)));
    EXPECT_EQ(sources.Last()->dx, 0);
    EXPECT_FALSE(IsPointTrafo2DUsed(sources.Last()));

    // The act list stands in for a null list; Init resets residuals and scale only.
    fit.SetActList(&sources);
    sources.Get(1)->y = -4;
    ASSERT_TRUE(fit.CalcResiduals(nullptr));
    EXPECT_EQ(fit.GetMaxError(), 2u);
    fit.Init();
    EXPECT_EQ(fit.GetResidualX(), 0.0);
    EXPECT_EQ(fit.GetMaxError(), 2u);
    EXPECT_EQ(fit.GetType(), KaTrafo2DHelmert);
}

TEST(KaCalcTrafo2D, CopiesKeepTheirOwnLists) {
    KaCalcTrafo2D a;
    a.GetPPList()->Add(new KaPoint(1, 2, 3));
    KaPointList outside;
    a.SetActList(&outside);
    KaCalcTrafo2D b(a);
    EXPECT_EQ(b.GetPPList()->Count(), 1);
    EXPECT_NE(b.GetPPList(), a.GetPPList());
    EXPECT_EQ(b.GetActList(), &outside);
    KaCalcTrafo2D c;
    c = a;
    EXPECT_NE(c.GetPPList(), a.GetPPList());
    EXPECT_EQ(c.GetPPList()->First()->y, 3);
    a.SetPPList(nullptr);
    EXPECT_EQ(a.GetPPList()->Count(), 1);
}

TEST(KaCalcTrafo2D, SuggestionsAtTheirThresholds) {
    KaCalcTrafo2D fit;
    KaPointList list;
    eKaTrafo2DType const byCount[] = {KaTrafo2DNone,      KaTrafo2DNone,       KaTrafo2DHelmert,
                                      KaTrafo2DAffin,     KaTrafo2DProjektiv,  KaTrafo2DProjektiv,
                                      KaTrafo2DProjektiv, KaTrafo2DProjektiv,  KaTrafo2DProjektiv,
                                      KaTrafo2DProjektiv, KaTrafo2DPolynomial, KaTrafo2DPolynomial};
    for (int n = 0; n < 12; ++n) {
        EXPECT_EQ(fit.SuggestTrafoByPointsNbr(&list), byCount[n]) << n;
        list.Add(new KaPoint(static_cast<unsigned int>(n + 1), 0, 0));
    }

    // Twelve and thirteen points that cover the centre and every quadrant.
    KaRegion const region(0, 0, 90, 60);
    KaPointList spread;
    double const xy[][2] = {{45, 30}, {80, 10}, {10, 50}, {80, 50}, {10, 10}, {20, 20},
                            {70, 20}, {20, 40}, {70, 40}, {5, 30},  {85, 30}, {45, 5}};
    unsigned int id = 1;
    for (auto const& p : xy)
        spread.Add(new KaPoint(id++, p[0], p[1]));
    EXPECT_EQ(fit.SuggestTrafoByDistrib(region, &spread), KaTrafo2DProjektiv);
    spread.Add(new KaPoint(id++, 45, 55));
    EXPECT_EQ(fit.SuggestTrafoByDistrib(region, &spread), KaTrafo2DPolynomial);

    // Twenty points in one quadrant.
    KaPointList corner;
    for (unsigned int i = 1; i <= 20; ++i)
        corner.Add(new KaPoint(i, i, i * 0.5));
    EXPECT_EQ(fit.SuggestTrafoByDistrib(region, &corner), KaTrafo2DAffin);

    // A point on the centre zone's border counts for the centre only, so the
    // lower-left quadrant stays empty here; one point more inside it fills it.
    KaPointList border;
    double const edge[][2] = {{30, 20}, {80, 10}, {10, 50}, {80, 50}};
    id = 1;
    for (auto const& p : edge)
        border.Add(new KaPoint(id++, p[0], p[1]));
    EXPECT_EQ(fit.SuggestTrafoByDistrib(region, &border), KaTrafo2DAffin);
    border.Add(new KaPoint(id++, 45, 30)); // the quadrants' common corner: centre again
    EXPECT_EQ(fit.SuggestTrafoByDistrib(region, &border), KaTrafo2DAffin);
    border.Add(new KaPoint(id++, 0, 0));
    EXPECT_EQ(fit.SuggestTrafoByDistrib(region, &border), KaTrafo2DProjektiv);
    // Fewer than four points go by their number alone.
    KaPointList few;
    few.Add(new KaPoint(1, 1, 1));
    few.Add(new KaPoint(2, 2, 2));
    EXPECT_EQ(fit.SuggestTrafoByDistrib(region, &few), KaTrafo2DHelmert);
}

namespace {

struct TrafoHolder : LinkHdl {
    KaTrafo2d trafo;
    long Read(void* arg) { return trafo.Read(static_cast<KaReaderObject*>(arg)); }
    long ReadV50(void* arg) { return trafo.ReadV50(static_cast<KaReaderObject*>(arg)); }
};

// Reads "TRAFO { ... }" (and an integer "AFTER" behind it) from text.
int ReadTrafo(TrafoHolder& holder, std::string const& text, bool v50, int* after = nullptr) {
    std::istringstream in(text);
    KaReader reader(in, "trafo");
    int scratch = 0;
    KaReaderObject object("TRAFO",
                          v50 ? Link(&holder, &TrafoHolder::ReadV50) : Link(&holder, &TrafoHolder::Read));
    KaReaderObject next("AFTER", after ? after : &scratch);
    reader.RegisterObject(object);
    reader.RegisterObject(next);
    reader.DoProcess(true);
    return reader.GetReadErrorCount();
}

} // namespace

TEST(KaTrafo2d, WriteLayout) {
    KaWriterReset();
    KaTrafo2d t;
    t.SetIdent();
    t.p[0] = 0.1;
    std::ostringstream os;
    os.imbue(std::locale::classic());
    t.Write(os);
    auto const field = [](std::string const& v) { return " " + std::string(24 - v.size(), ' ') + v; };
    EXPECT_EQ(os.str(), "    1\n" + field("0.1") + field("1") + field("0") + field("0") + "\n");

    t.type = KaTrafo2DAffin;
    std::ostringstream six;
    t.Write(six);
    std::string const text = six.str();
    EXPECT_EQ(text.back(), '0'); // a line of four, a last line of two without a line end
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    t.type = KaTrafo2DInvHelmert;
    std::ostringstream none;
    t.Write(none);
    EXPECT_EQ(none.str(), "    5\n");
}

TEST(KaTrafo2d, ReadWriteRoundTrips) {
    auto const dir = std::filesystem::temp_directory_path() / "tarvis_trafo_test";
    std::filesystem::create_directories(dir);
    for (eKaTrafo2DType kind : {KaTrafo2DNone, KaTrafo2DHelmert, KaTrafo2DAffin, KaTrafo2DProjektiv,
                                KaTrafo2DPolynomial, KaTrafo2DInvHelmert}) {
        KaTrafo2d t;
        t.type = kind;
        for (int i = 0; i < KaTrafo2d::CoefficientCount(kind); ++i)
            t.p[i] = (i % 3 ? -1.0 : 1.0) / (i + 3) * std::pow(10.0, i - 8);
        auto const file = dir / "trafo.txt";
        {
            std::ofstream out(file);
            out << "TRAFO " << KaBeginBlockNL;
            t.Write(out);
            out << KaEndBlockNL << Kaendl << "AFTER 7";
        }
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        TrafoHolder back;
        int after = 0;
        EXPECT_EQ(ReadTrafo(back, text.str(), false, &after), 0) << kind;
        EXPECT_EQ(back.trafo.GetType(), kind);
        for (int i = 0; i < KaTrafo2d::MaxCoefficients; ++i)
            EXPECT_DOUBLE_EQ(back.trafo.p[i], t.p[i]) << kind << " p" << i;
        EXPECT_EQ(after, 7);
    }
    std::filesystem::remove_all(dir);

    // The older record numbers the kinds the other way round.
    TrafoHolder old;
    EXPECT_EQ(ReadTrafo(old, "TRAFO { 2 10 1.5 20 -0.5 }", true), 0);
    EXPECT_EQ(old.trafo.GetType(), KaTrafo2DHelmert);
    EXPECT_EQ(old.trafo.p[0], 10);
    EXPECT_EQ(old.trafo.p[3], -0.5);
    EXPECT_EQ(ReadTrafo(old, "TRAFO { 0 1 2 3 4 5 6 7 8 }", true), 0);
    EXPECT_EQ(old.trafo.GetType(), KaTrafo2DProjektiv);
    EXPECT_EQ(old.trafo.p[7], 8);
    EXPECT_EQ(ReadTrafo(old, "TRAFO { 3 1 2 3 4 5 6 7 8 9 10\n 11 12 13 14 15 16 17 18 19 20 }", true), 0);
    EXPECT_EQ(old.trafo.GetType(), KaTrafo2DPolynomial);
    EXPECT_EQ(old.trafo.p[19], 20);
    ReadTrafo(old, "TRAFO { 1 1 2 3 4 5 6 }", true);
    EXPECT_EQ(old.trafo.GetType(), KaTrafo2DAffin);
    ReadTrafo(old, "TRAFO { 4 }", true); // unknown code: nothing read, type kept
    EXPECT_EQ(old.trafo.GetType(), KaTrafo2DAffin);

    // A word among the numbers counts as 0.0; a short record leaves its closing
    // brace to the reader, so the entry after it is still read.
    TrafoHolder odd;
    int after = 0;
    EXPECT_EQ(ReadTrafo(odd, "TRAFO { 2 1 2 three 4 5 6 }", false), 0);
    EXPECT_EQ(odd.trafo.p[2], 0.0);
    EXPECT_EQ(odd.trafo.p[5], 6);
    EXPECT_EQ(ReadTrafo(odd, "TRAFO { 1 9 8 }\nAFTER 3", false, &after), 0);
    EXPECT_EQ(odd.trafo.p[1], 8);
    EXPECT_EQ(odd.trafo.p[2], 0.0);
    EXPECT_EQ(after, 3);
}
