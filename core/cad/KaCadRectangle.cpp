#include "cad/KaCadRectangle.h"

#include "numerics/KaMatrix.h"

#include <algorithm>
#include <cmath>

KaCadRectangle::KaCadRectangle(KaPointList const* points, double tolerance) {
    CalcRectangle(points, tolerance);
}

int KaCadRectangle::CalcRectangle(KaPointList const* points, double tolerance) {
    m_angle = 0.0;
    m_sideA = 0.0;
    m_sideB = 0.0;
    if (!points || points->Count() < 3) {
        m_status = StatusTooFewPoints;
        return 0;
    }
    m_status = StatusNotRectangular;

    // Copies first: points may be the corner list itself.
    KaPoint const a(*points->Get(0));
    KaPoint const b(*points->Get(1));
    KaPoint const c(*points->Get(2));
    m_corners.Destroy();
    m_corners.Add(new KaPoint(a));
    m_corners.Add(new KaPoint(b));
    m_corners.Add(new KaPoint(c));

    KaVector const va(a, KaVectorXYZ);
    KaVector const s1 = KaVector(b, KaVectorXYZ) - va;
    KaVector const s2 = KaVector(c, KaVectorXYZ) - KaVector(b, KaVectorXYZ);
    double const l1 = s1.Abs();
    double const l2 = s2.Abs();
    // Coincident corners, and non-finite ones, which would slip through every
    // comparison below.
    if (!(l1 > 0.0) || !(l2 > 0.0) || !std::isfinite(l1) || !std::isfinite(l2))
        return 0;

    KaVector const u = s1 / l1;
    double const cosine = (u * s2) / l2;
    m_angle = std::acos(std::clamp(cosine, -1.0, 1.0));
    if (!(std::fabs(cosine) < tolerance))
        return 0;

    KaVector const s2perp = s2 - u * (s2 * u);
    KaVector const d = va + s2perp;
    m_corners.Add(new KaPoint(4, d[1], d[2], d[3]));
    m_sideA = l1;
    m_sideB = s2perp.Abs();
    m_status = StatusOk;
    return 1;
}
