#pragma once

#include "TarvisExport.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"

#include <iosfwd>

class KaMatrix;
class KaReaderObject;
class KaRegion;

enum eKaTrafo2DType : int {
    KaTrafo2DNone = 0,
    KaTrafo2DHelmert = 1,    // similarity, 4 coefficients
    KaTrafo2DAffin = 2,      // 6 coefficients
    KaTrafo2DProjektiv = 3,  // 8 coefficients
    KaTrafo2DPolynomial = 4, // cubic, 20 coefficients
    KaTrafo2DInvHelmert = 5  // no coefficients of its own
};

// A plane-to-plane transformation from source (X, Y) to target (x', y'):
//   Helmert     x' = p0 + p1 X - p3 Y          y' = p2 + p3 X + p1 Y
//   Affin       x' = p0 + p1 X + p2 Y          y' = p3 + p4 X + p5 Y
//   Projektiv   x' = (p0 X + p1 Y + p2) / w    y' = (p3 X + p4 Y + p5) / w,  w = p6 X + p7 Y + 1
//   Polynomial  x' = sum p_k t_k               y' = sum p_(10+k) t_k
//               with t = (1, X, Y, X^2, XY, Y^2, X^3, X^2 Y, X Y^2, Y^3)
class TARVIS_API KaTrafo2d {
public:
    static constexpr int MaxCoefficients = 20;

    KaTrafo2d() = default;
    KaTrafo2d(KaTrafo2d const& other) = default;
    KaTrafo2d& operator=(KaTrafo2d const& other) = default;
    virtual ~KaTrafo2d();

    void Set(KaTrafo2d const& other) { *this = other; }
    // Type 0, all coefficients 0.
    void Init();
    // The Helmert identity.
    void SetIdent();

    eKaTrafo2DType GetType() const { return type; }
    // "None", "Helmert", "Affin", "Projektiv", "Polynomial", "Inv. Helmert".
    char const* GetTrafoName() const;
    // The number of coefficients the type stores in files (0 for types 0 and 5).
    static int CoefficientCount(eKaTrafo2DType type);

    // Maps in place; false (and no change) for types other than 1..4, and for a
    // projective point on the vanishing line (w = 0).
    bool Transform(double* x, double* y) const;
    bool Transform(KaPoint* p) const;
    // The inverse of the Helmert equations from p0..p3, whatever the type;
    // false when p1 and p3 are both 0.
    bool TransInvHelmert(double* x, double* y) const;
    bool TransInvHelmert(KaPoint* p) const;
    // The homogeneous 3x3 matrix (at least 3x3) for Helmert, Affin and Projektiv;
    // the identity for the other types.
    void BuildMatrix(KaMatrix* m) const;

    // The type, then its coefficients; a reader handler.
    int Read(KaReaderObject* object);
    // The older record: 0 Projektiv, 1 Affin, 2 Helmert, 3 Polynomial.
    int ReadV50(KaReaderObject* object);
    void Write(std::ostream& os) const;

    eKaTrafo2DType type = KaTrafo2DNone;
    double p[MaxCoefficients] = {};

private:
    void ReadCoefficients(KaReaderObject* object, int count);
};

// A transformation estimated by least squares from pairs of identical points:
// the source points of a list are paired by number with the control (target)
// points of the PP list.
//
// Fitting:   KaCalcTrafo2D fit(&targets);          // or SetPPList(&targets)
//            if (fit.CalcTrafoAffin(&sources))     // any of the four kinds
//                fit.CalcResiduals(&sources);      // fills dx, dy of the sources
//            fit.Transform(&x, &y);
class TARVIS_API KaCalcTrafo2D : public KaTrafo2d {
public:
    KaCalcTrafo2D();
    // The control points (not owned); null selects the own list.
    explicit KaCalcTrafo2D(KaPointList* pp);
    // A copy refers to its own list where the source referred to the source's.
    KaCalcTrafo2D(KaCalcTrafo2D const& other);
    KaCalcTrafo2D& operator=(KaCalcTrafo2D const& other);
    ~KaCalcTrafo2D() override;

    // Not owned; null selects the own list.
    void SetPPList(KaPointList* list) { ppList = list ? list : &ownList; }
    void SetActList(KaPointList* list) { actList = list ? list : &ownList; }
    KaPointList* GetPPList() const { return ppList; }
    KaPointList* GetActList() const { return actList; }

    // Residuals 0 and scale 1; the transformation stays.
    void Init();

    // Estimate the kind from the source points of list. False without a list or
    // with fewer points than the kind needs (2, 3, 4, 10), and nothing changes
    // then. Points without a partner are skipped; a degenerate configuration is
    // not detected and gives unusable coefficients. The Helmert fit also sets
    // the scale and returns false when the scale factor comes out 0.
    bool CalcTrafoHelmert(KaPointList* list);
    bool CalcTrafoAffin(KaPointList* list);
    bool CalcTrafoProjectiv(KaPointList* list);
    // Null: the act list.
    bool CalcTrafoPolynom(KaPointList* list);

    // For every point of list (null: the act list): dx, dy := transformed point
    // minus its partner (0 without one); matched points get PointFlagTrafo2DUsed.
    // The residuals are root mean squares over the matched points, maxError the
    // number of the first point with the largest residual.
    bool CalcResiduals(KaPointList* list);

    double GetResidualX() const { return residualX; }
    double GetResidualY() const { return residualY; }
    // After a Helmert fit 1/m, m the similarity's scale factor.
    double GetScale() const { return scale; }
    unsigned int GetMaxError() const { return maxError; }

    // The kind the number of points allows (null: the act list).
    eKaTrafo2DType SuggestTrafoByPointsNbr(KaPointList* list);
    // As by number, but Projektiv and Polynomial only when the points cover the
    // centre and all four quadrants of the region; Affin otherwise.
    eKaTrafo2DType SuggestTrafoByDistrib(KaRegion const& region, KaPointList* list);

protected:
    KaPointList* ppList;
    KaPointList* actList;
    KaPointList ownList;
    unsigned int maxError = 0;
    double residualX = 0.0;
    double residualY = 0.0;
    double scale = 1.0;

private:
    bool Estimate(KaPointList* list, eKaTrafo2DType kind);
};
