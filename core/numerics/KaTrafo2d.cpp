#include "numerics/KaTrafo2d.h"

#include "geometry/KaRegion.h"
#include "numerics/KaMatrix.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <unordered_map>
#include <vector>

namespace {

// Exponents of X and Y in the polynomial term row.
constexpr int PowX[10] = {0, 1, 0, 2, 1, 0, 3, 2, 1, 0};
constexpr int PowY[10] = {0, 0, 1, 0, 1, 2, 0, 1, 2, 3};

std::array<double, 10> Terms(double x, double y) {
    return {1.0, x, y, x * x, x * y, y * y, x * x * x, x * x * y, x * y * y, y * y * y};
}

int TermIndex(int px, int py) {
    for (int k = 0; k < 10; ++k)
        if (PowX[k] == px && PowY[k] == py)
            return k;
    return 0;
}

struct Pair {
    double X, Y; // source
    double x, y; // target
};

// Coordinates u = (v - centre) / scale. The fits work in such frames so that
// the normal equations stay well conditioned for pixel and map coordinates
// alike; the coefficients are converted back afterwards.
struct Frame {
    double cx = 0.0, cy = 0.0, s = 1.0;
    bool spread = false; // the points are not all in one place
    double U(double v, double c) const { return (v - c) / s; }
};

// The frame of the source points (source) or of the target points.
Frame MakeFrame(std::vector<Pair> const& pairs, bool source, bool centred) {
    auto getX = [source](Pair const& q) { return source ? q.X : q.x; };
    auto getY = [source](Pair const& q) { return source ? q.Y : q.y; };
    Frame f;
    if (pairs.empty())
        return f;
    if (centred) {
        for (Pair const& q : pairs) {
            f.cx += getX(q);
            f.cy += getY(q);
        }
        f.cx /= static_cast<double>(pairs.size());
        f.cy /= static_cast<double>(pairs.size());
    }
    double spread = 0.0;
    for (Pair const& q : pairs)
        spread = std::max({spread, std::fabs(getX(q) - f.cx), std::fabs(getY(q) - f.cy)});
    if (spread > 0.0 && std::isfinite(spread)) {
        f.s = spread;
        f.spread = true;
    }
    if (!std::isfinite(f.cx) || !std::isfinite(f.cy))
        f.cx = f.cy = 0.0;
    return f;
}

// The first control point of every number, as KaPointList::Find(id) finds it,
// without a list walk per point.
class PartnerIndex {
public:
    explicit PartnerIndex(KaPointList const& list) {
        for (KaPoint* q = list.First(); q; q = q->Next())
            m_points.try_emplace(q->GetId(), q);
    }
    KaPoint const* Find(unsigned int id) const {
        auto const it = m_points.find(id);
        return it == m_points.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<unsigned int, KaPoint const*> m_points;
};

int MinimumPoints(eKaTrafo2DType kind) {
    switch (kind) {
    case KaTrafo2DHelmert:
        return 2;
    case KaTrafo2DAffin:
        return 3;
    case KaTrafo2DProjektiv:
        return 4;
    case KaTrafo2DPolynomial:
        return 10;
    default:
        return 0;
    }
}

} // namespace

KaTrafo2d::~KaTrafo2d() = default;

void KaTrafo2d::Init() {
    type = KaTrafo2DNone;
    std::fill(std::begin(p), std::end(p), 0.0);
}

void KaTrafo2d::SetIdent() {
    type = KaTrafo2DHelmert;
    p[0] = 0.0;
    p[1] = 1.0;
    p[2] = 0.0;
    p[3] = 0.0;
}

char const* KaTrafo2d::GetTrafoName() const {
    switch (type) {
    case KaTrafo2DHelmert:
        return "Helmert";
    case KaTrafo2DAffin:
        return "Affin";
    case KaTrafo2DProjektiv:
        return "Projektiv";
    case KaTrafo2DPolynomial:
        return "Polynomial";
    case KaTrafo2DInvHelmert:
        return "Inv. Helmert";
    default:
        return "None";
    }
}

int KaTrafo2d::CoefficientCount(eKaTrafo2DType kind) {
    switch (kind) {
    case KaTrafo2DHelmert:
        return 4;
    case KaTrafo2DAffin:
        return 6;
    case KaTrafo2DProjektiv:
        return 8;
    case KaTrafo2DPolynomial:
        return 20;
    default:
        return 0;
    }
}

bool KaTrafo2d::Transform(double* x, double* y) const {
    if (!x || !y)
        return false;
    double const X = *x, Y = *y;
    switch (type) {
    case KaTrafo2DHelmert:
        *x = p[0] + p[1] * X - p[3] * Y;
        *y = p[2] + p[3] * X + p[1] * Y;
        return true;
    case KaTrafo2DAffin:
        *x = p[0] + p[1] * X + p[2] * Y;
        *y = p[3] + p[4] * X + p[5] * Y;
        return true;
    case KaTrafo2DProjektiv: {
        double const w = p[6] * X + p[7] * Y + 1.0;
        if (w == 0.0)
            return false;
        *x = (p[0] * X + p[1] * Y + p[2]) / w;
        *y = (p[3] * X + p[4] * Y + p[5]) / w;
        return true;
    }
    case KaTrafo2DPolynomial: {
        auto const t = Terms(X, Y);
        double u = 0.0, v = 0.0;
        for (int k = 0; k < 10; ++k) {
            u += p[k] * t[k];
            v += p[10 + k] * t[k];
        }
        *x = u;
        *y = v;
        return true;
    }
    default:
        return false;
    }
}

bool KaTrafo2d::Transform(KaPoint* pt) const {
    return pt && Transform(&pt->x, &pt->y);
}

bool KaTrafo2d::TransInvHelmert(double* x, double* y) const {
    if (!x || !y)
        return false;
    double const d = p[1] * p[1] + p[3] * p[3];
    if (d == 0.0)
        return false;
    double const u = *x - p[0], v = *y - p[2];
    *x = (u * p[1] + v * p[3]) / d;
    *y = (v * p[1] - u * p[3]) / d;
    return true;
}

bool KaTrafo2d::TransInvHelmert(KaPoint* pt) const {
    return pt && TransInvHelmert(&pt->x, &pt->y);
}

void KaTrafo2d::BuildMatrix(KaMatrix* m) const {
    if (!m)
        return;
    double e[9];
    switch (type) {
    case KaTrafo2DHelmert:
        e[0] = p[1], e[1] = -p[3], e[2] = p[0];
        e[3] = p[3], e[4] = p[1], e[5] = p[2];
        e[6] = 0.0, e[7] = 0.0, e[8] = 1.0;
        break;
    case KaTrafo2DAffin:
        e[0] = p[1], e[1] = p[2], e[2] = p[0];
        e[3] = p[4], e[4] = p[5], e[5] = p[3];
        e[6] = 0.0, e[7] = 0.0, e[8] = 1.0;
        break;
    case KaTrafo2DProjektiv:
        e[0] = p[0], e[1] = p[1], e[2] = p[2];
        e[3] = p[3], e[4] = p[4], e[5] = p[5];
        e[6] = p[6], e[7] = p[7], e[8] = 1.0;
        break;
    default:
        m->SetIdent();
        return;
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m->SetElem(i + 1, j + 1, e[3 * i + j]);
}

void KaTrafo2d::ReadCoefficients(KaReaderObject* object, int count) {
    KaStreamParser in = object->GetStreamParser();
    KaParserToken& token = object->GetParser().GetToken();
    for (int i = 0; i < count; ++i) {
        switch (token.GetType()) {
        case TokenInt:
        case TokenFloat:
            p[i] = in.GetNumber();
            break;
        case TokenEndBlock:
        case TokenEOF:
            // A short record: the closing brace stays for the reader.
            p[i] = 0.0;
            break;
        default:
            p[i] = 0.0;
            in.Advance();
            break;
        }
    }
}

int KaTrafo2d::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    type = static_cast<eKaTrafo2DType>(in.GetInt());
    ReadCoefficients(object, CoefficientCount(type));
    return 1;
}

int KaTrafo2d::ReadV50(KaReaderObject* object) {
    static eKaTrafo2DType const kinds[] = {KaTrafo2DProjektiv, KaTrafo2DAffin, KaTrafo2DHelmert,
                                           KaTrafo2DPolynomial};
    KaStreamParser in = object->GetStreamParser();
    int const code = in.GetInt();
    if (code < 0 || code > 3)
        return 1;
    type = kinds[code];
    ReadCoefficients(object, CoefficientCount(type));
    return 1;
}

void KaTrafo2d::Write(std::ostream& os) const {
    os << w4 << static_cast<int>(type) << Kaendl;
    os.precision(16);
    int const count = CoefficientCount(type);
    for (int i = 0; i < count; ++i) {
        os << w19 << p[i];
        if (i % 4 == 3)
            os << Kaendl;
    }
}

KaCalcTrafo2D::KaCalcTrafo2D() : ppList(&ownList), actList(&ownList) {}

KaCalcTrafo2D::KaCalcTrafo2D(KaPointList* pp) : ppList(pp ? pp : &ownList), actList(&ownList) {}

KaCalcTrafo2D::KaCalcTrafo2D(KaCalcTrafo2D const& other)
    : KaTrafo2d(other), ppList(&ownList), actList(&ownList), ownList(other.ownList), maxError(other.maxError),
      residualX(other.residualX), residualY(other.residualY), scale(other.scale) {
    if (other.ppList != &other.ownList)
        ppList = other.ppList;
    if (other.actList != &other.ownList)
        actList = other.actList;
}

KaCalcTrafo2D& KaCalcTrafo2D::operator=(KaCalcTrafo2D const& other) {
    if (this == &other)
        return *this;
    KaTrafo2d::operator=(other);
    ppList = other.ppList == &other.ownList ? &ownList : other.ppList;
    actList = other.actList == &other.ownList ? &ownList : other.actList;
    ownList = other.ownList;
    maxError = other.maxError;
    residualX = other.residualX;
    residualY = other.residualY;
    scale = other.scale;
    return *this;
}

KaCalcTrafo2D::~KaCalcTrafo2D() = default;

void KaCalcTrafo2D::Init() {
    residualX = residualY = 0.0;
    scale = 1.0;
}

bool KaCalcTrafo2D::CalcTrafoHelmert(KaPointList* list) {
    return list && Estimate(list, KaTrafo2DHelmert);
}

bool KaCalcTrafo2D::CalcTrafoAffin(KaPointList* list) {
    return list && Estimate(list, KaTrafo2DAffin);
}

bool KaCalcTrafo2D::CalcTrafoProjectiv(KaPointList* list) {
    return list && Estimate(list, KaTrafo2DProjektiv);
}

bool KaCalcTrafo2D::CalcTrafoPolynom(KaPointList* list) {
    list = list ? list : actList;
    return list && Estimate(list, KaTrafo2DPolynomial);
}

bool KaCalcTrafo2D::Estimate(KaPointList* list, eKaTrafo2DType kind) {
    if (list->Count() < MinimumPoints(kind))
        return false;

    PartnerIndex const partners(*ppList);
    std::vector<Pair> pairs;
    for (KaPoint const* q = list->First(); q; q = q->Next())
        if (KaPoint const* partner = partners.Find(q->GetId()))
            pairs.push_back({q->x, q->y, partner->x, partner->y});

    // Centring and scaling both point sets leaves the least-squares solution of
    // the Helmert, affine and polynomial fits unchanged. The projective fit is
    // linearised with the denominator's constant fixed to 1 at the source
    // origin, so there the source is only scaled, never moved: that keeps its
    // solution the same too.
    bool const projective = kind == KaTrafo2DProjektiv;
    Frame const src = MakeFrame(pairs, true, !projective);
    Frame const dst = MakeFrame(pairs, false, true);

    int const u = CoefficientCount(kind);
    KaMatrix normal(u + 1, 2 * u + 1);
    for (int i = 1; i <= u; ++i)
        normal.SetElem(i, u + 1 + i, 1.0);
    KaVector rx(u + 1), ry(u + 1);
    for (Pair const& q : pairs) {
        double const X = src.U(q.X, src.cx), Y = src.U(q.Y, src.cy);
        double const x = dst.U(q.x, dst.cx), y = dst.U(q.y, dst.cy);
        rx.Clear();
        ry.Clear();
        switch (kind) {
        case KaTrafo2DHelmert: // tx, ty, a, b
            rx[1] = 1.0, rx[3] = X, rx[4] = -Y, rx[5] = x;
            ry[2] = 1.0, ry[3] = Y, ry[4] = X, ry[5] = y;
            break;
        case KaTrafo2DAffin:
            rx[1] = 1.0, rx[2] = X, rx[3] = Y, rx[7] = x;
            ry[4] = 1.0, ry[5] = X, ry[6] = Y, ry[7] = y;
            break;
        case KaTrafo2DProjektiv:
            rx[1] = X, rx[2] = Y, rx[3] = 1.0, rx[7] = -x * X, rx[8] = -x * Y, rx[9] = x;
            ry[4] = X, ry[5] = Y, ry[6] = 1.0, ry[7] = -y * X, ry[8] = -y * Y, ry[9] = y;
            break;
        default: {
            auto const t = Terms(X, Y);
            for (int k = 0; k < 10; ++k) {
                rx[k + 1] = t[k];
                ry[k + 11] = t[k];
            }
            rx[21] = x;
            ry[21] = y;
            break;
        }
        }
        normal.CalcNGLAN(rx);
        normal.CalcNGLAN(ry);
    }
    // The solver's result is 0.0 both for an exact fit through the minimum
    // number of points and for a system it gives up on; neither stops the fit.
    KaVector solution(u);
    normal.Cholesky(solution);
    double q[MaxCoefficients] = {};
    bool allZero = true;
    for (int i = 0; i < u; ++i) {
        q[i] = solution[i + 1];
        allZero = allZero && q[i] == 0.0;
    }

    double r[MaxCoefficients] = {};
    double const s = src.s, t = dst.s;
    if (allZero && dst.spread) {
        // Nothing was solved (the solver stopped at the first non-positive
        // pivot): keep zero coefficients instead of placing the frame centre.
    } else {
        switch (kind) {
        case KaTrafo2DHelmert:
            r[1] = t * q[2] / s;
            r[3] = t * q[3] / s;
            r[0] = dst.cx + t * q[0] - r[1] * src.cx + r[3] * src.cy;
            r[2] = dst.cy + t * q[1] - r[3] * src.cx - r[1] * src.cy;
            break;
        case KaTrafo2DAffin:
            r[1] = t * q[1] / s;
            r[2] = t * q[2] / s;
            r[0] = dst.cx + t * q[0] - r[1] * src.cx - r[2] * src.cy;
            r[4] = t * q[4] / s;
            r[5] = t * q[5] / s;
            r[3] = dst.cy + t * q[3] - r[4] * src.cx - r[5] * src.cy;
            break;
        case KaTrafo2DProjektiv:
            r[0] = (dst.cx * q[6] + t * q[0]) / s;
            r[1] = (dst.cx * q[7] + t * q[1]) / s;
            r[2] = dst.cx + t * q[2];
            r[3] = (dst.cy * q[6] + t * q[3]) / s;
            r[4] = (dst.cy * q[7] + t * q[4]) / s;
            r[5] = dst.cy + t * q[5];
            r[6] = q[6] / s;
            r[7] = q[7] / s;
            break;
        default: {
            // Expand every term ((X - cx)/s)^i ((Y - cy)/s)^j into the monomials of X and Y.
            static constexpr double Binomial[4][4] = {{1, 0, 0, 0}, {1, 1, 0, 0}, {1, 2, 1, 0}, {1, 3, 3, 1}};
            double const ax = -src.cx / s, ay = -src.cy / s;
            for (int k = 0; k < 10; ++k) {
                for (int a = 0; a <= PowX[k]; ++a) {
                    for (int b = 0; b <= PowY[k]; ++b) {
                        double const c = Binomial[PowX[k]][a] * Binomial[PowY[k]][b] *
                                         std::pow(ax, PowX[k] - a) * std::pow(ay, PowY[k] - b) /
                                         std::pow(s, a + b);
                        int const m = TermIndex(a, b);
                        r[m] += t * q[k] * c;
                        r[10 + m] += t * q[10 + k] * c;
                    }
                }
            }
            r[0] += dst.cx;
            r[10] += dst.cy;
            break;
        }
        }
    }
    std::copy(r, r + u, p);
    type = kind;

    if (kind != KaTrafo2DHelmert)
        return true;
    scale = std::sqrt(p[1] * p[1] + p[3] * p[3]);
    if (scale > 0.0) {
        scale = 1.0 / scale;
        return true;
    }
    scale = 0.0;
    return false;
}

bool KaCalcTrafo2D::CalcResiduals(KaPointList* list) {
    list = list ? list : actList;
    if (!list)
        return false;
    PartnerIndex const partners(*ppList);
    residualX = residualY = 0.0;
    unsigned int worst = 0;
    double worstSquare = 0.0;
    int matched = 0;
    for (KaPoint* q = list->First(); q; q = q->Next()) {
        q->dx = q->dy = 0.0;
        double x = q->x, y = q->y;
        Transform(&x, &y);
        KaPoint const* partner = partners.Find(q->GetId());
        if (!partner)
            continue;
        q->dx = x - partner->x;
        q->dy = y - partner->y;
        q->SetFlag(PointFlagTrafo2DUsed);
        residualX += q->dx * q->dx;
        residualY += q->dy * q->dy;
        ++matched;
        double const square = q->dx * q->dx + q->dy * q->dy;
        if (square > worstSquare) {
            worstSquare = square;
            worst = q->GetId();
        }
    }
    if (matched > 0) {
        residualX = std::sqrt(residualX / matched);
        residualY = std::sqrt(residualY / matched);
    }
    maxError = worst;
    return true;
}

eKaTrafo2DType KaCalcTrafo2D::SuggestTrafoByPointsNbr(KaPointList* list) {
    list = list ? list : actList;
    int const n = list ? list->Count() : 0;
    if (n < 2)
        return KaTrafo2DNone;
    if (n == 2)
        return KaTrafo2DHelmert;
    if (n == 3)
        return KaTrafo2DAffin;
    if (n < 10)
        return KaTrafo2DProjektiv;
    return KaTrafo2DPolynomial;
}

eKaTrafo2DType KaCalcTrafo2D::SuggestTrafoByDistrib(KaRegion const& region, KaPointList* list) {
    list = list ? list : actList;
    eKaTrafo2DType const byCount = SuggestTrafoByPointsNbr(list);
    if (byCount < KaTrafo2DProjektiv)
        return byCount;
    double const left = region.Left(), bottom = region.Bottom(), right = region.Right(), top = region.Top();
    double const w = right - left, h = top - bottom;
    double const mx = left + w / 2, my = bottom + h / 2;
    // Tested in this order; a point marks only the first zone holding it.
    KaRegion const zones[5] = {
        KaRegion(left + w / 3, bottom + h / 3, right - w / 3, top - h / 3), // centre
        KaRegion(mx, bottom, right, my),                                    // lower right
        KaRegion(left, my, mx, top),                                        // upper left
        KaRegion(mx, my, right, top),                                       // upper right
        KaRegion(left, bottom, mx, my),                                     // lower left
    };
    bool marked[5] = {};
    for (KaPoint const* q = list->First(); q; q = q->Next()) {
        for (int z = 0; z < 5; ++z) {
            if (zones[z].Overlap(q)) {
                marked[z] = true;
                break;
            }
        }
    }
    if (std::all_of(std::begin(marked), std::end(marked), [](bool m) { return m; }))
        return list->Count() < 13 ? KaTrafo2DProjektiv : KaTrafo2DPolynomial;
    return KaTrafo2DAffin;
}
