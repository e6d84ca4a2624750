#pragma once

#include "TarvisExport.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"

// A rectangle from three measured corners A, B, C (B is the corner between the
// two sides). The fourth corner is A + (C - B) with the second side made exactly
// perpendicular to the first. Computed once in the constructor, then queried.
class TARVIS_API KaCadRectangle {
public:
    enum Status { StatusOk = 0, StatusTooFewPoints = 1, StatusNotRectangular = 2 };

    // points is only read, never owned; null counts as too few points. tolerance
    // bounds |cos| of the corner angle at B.
    KaCadRectangle(KaPointList const* points, double tolerance);
    KaCadRectangle(KaCadRectangle const& other) = default;
    KaCadRectangle& operator=(KaCadRectangle const& other) = default;

    // 1 when the rectangle was built, 0 otherwise (see GetStatus). The corner list
    // then holds the three input points and, on success, the fourth corner
    // (number 4). points may be this rectangle's own corner list.
    int CalcRectangle(KaPointList const* points, double tolerance);

    bool IsOk() const { return m_status == StatusOk; }
    int GetStatus() const { return m_status; }
    double GetSideALength() const { return m_sideA; }
    double GetSideBLength() const { return m_sideB; }
    double GetArea() const { return m_sideA * m_sideB; }
    double GetSegmentLength() const { return 2.0 * (m_sideA + m_sideB); }
    // The angle between the first two sides in radians, 0 when it could not be formed.
    double GetAngle() const { return m_angle; }
    KaPointList const& GetCorners() const { return m_corners; }

private:
    KaPoint m_point; // carried along with copies; the calculation leaves it alone
    double m_sideA = 0.0;
    double m_sideB = 0.0;
    double m_angle = 0.0;
    KaPointList m_corners;
    int m_status = StatusTooFewPoints;
};
