#pragma once

#include "TarvisExport.h"
#include "model/KaPoint.h"
#include "numerics/KaMatrix.h"

class KaPointList;

// The circular arc through the first three points of a list, in the plane of the
// three points. The arc runs counter-clockwise (about the plane normal) from the
// start angle to the end angle and passes the middle point; both angles lie in
// [0, 2 pi] of the plane's own system, so an arc across angle 0 has its end
// angle below its start angle.
class TARVIS_API KaCadArc {
public:
    enum Status { StatusOk = 0, StatusTooFewPoints = 1, StatusCollinear = 2 };

    // points is only read, never owned.
    explicit KaCadArc(KaPointList const* points);
    KaCadArc(KaCadArc const& other) = default;
    KaCadArc& operator=(KaCadArc const& other) = default;
    virtual ~KaCadArc();

    // 1 on success. With fewer than three points (or no list) nothing changes;
    // collinear or coincident points (also non-finite ones) give status 2 and
    // clear the results.
    int CalcArc(KaPointList const* points);

    bool IsOk() const { return m_status == StatusOk; }
    int GetStatus() const { return m_status; }
    KaPoint const& GetCenter() const { return m_center; }
    KaPoint const& GetCenterUCS() const { return m_centerUCS; }
    KaVector const& GetNormal() const { return m_normal; }
    double GetRadius() const { return m_radius; }
    double GetStartAngle() const { return m_startAngle; }
    double GetEndAngle() const { return m_endAngle; }

    // The swept angle in [0, 2 pi]; 0.0 unless the arc was built.
    double GetSweepAngle() const;
    // Each 0.0 unless the arc was built.
    double GetArcLength() const;
    double GetCircleLength() const;
    double GetArcArea() const; // the circular sector
    double GetCircleArea() const;

private:
    void Reset();

    int m_status = StatusTooFewPoints;
    KaPoint m_center;
    KaPoint m_centerUCS;
    KaVector m_normal{3};
    double m_radius = 0.0;
    double m_startAngle = 0.0;
    double m_endAngle = 0.0;
};
