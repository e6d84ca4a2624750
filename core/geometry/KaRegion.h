#pragma once

#include "TarvisExport.h"
#include "model/KaPoint.h"

#include <iosfwd>

class KaReaderObject;

// An axis-aligned rectangle with y upwards: the first corner holds Left and
// Bottom, the second Right and Top. Only x and y of the corners carry meaning.
// The constructors, Set(x1, y1, x2, y2) and Intersect sort the corners; copying,
// Set(KaRegion&), Read and the arithmetic operators take them as they are.
class TARVIS_API KaRegion {
public:
    explicit KaRegion(double x1 = 0.0, double y1 = 0.0, double x2 = 0.0, double y2 = 0.0);
    KaRegion(KaPoint const& a, KaPoint const& b);
    KaRegion(KaRegion const& other) = default;
    KaRegion& operator=(KaRegion const& other) = default;

    void Set(double x1, double y1, double x2, double y2);
    void Set(KaRegion const& other) { *this = other; }
    void Get(double& left, double& bottom, double& right, double& top) const;

    double Left() const { return m_lowerLeft.x; }
    double Bottom() const { return m_lowerLeft.y; }
    double Right() const { return m_upperRight.x; }
    double Top() const { return m_upperRight.y; }
    double& Left() { return m_lowerLeft.x; }
    double& Bottom() { return m_lowerLeft.y; }
    double& Right() { return m_upperRight.x; }
    double& Top() { return m_upperRight.y; }

    KaPoint GetUL() const;
    KaPoint GetLR() const;
    KaPoint GetUR() const { return m_upperRight; }
    KaPoint GetLL() const { return m_lowerLeft; }
    KaPoint GetCenter() const { return m_lowerLeft % m_upperRight; }
    double Width() const { return Right() - Left(); }
    double Height() const { return Top() - Bottom(); }
    double Area() const { return Width() * Height(); }

    // Grows (shrinks) by d on every side.
    KaRegion& operator+=(double d);
    KaRegion& operator-=(double d);
    // The coordinate-wise sum (difference) of the two regions, unsorted.
    KaRegion operator+(KaRegion const& b) const;
    KaRegion operator-(KaRegion const& b) const;
    bool operator==(KaRegion const& b) const;
    bool operator!=(KaRegion const& b) const { return !(*this == b); }

    // Both ranges overlap, touching included; a null region overlaps nothing.
    bool Overlap(KaRegion const* b) const;
    // The point lies inside or on the border; also right for an unsorted region.
    bool Overlap(KaPoint const* p) const;
    // Becomes the common part (per axis KaIntervall); a disjoint axis gives 0, 0.
    KaRegion& Intersect(KaRegion const& b);
    // Becomes the smallest region holding both.
    KaRegion& Union(KaRegion const& b);

    // Two point lines with the columns X and Y, the first corner first.
    int Read(KaReaderObject* object);
    void Write(std::ostream& os) const;

    // Left <= Right and Bottom <= Top.
    void Sort();

    // Scales x, y and z of both corners from one unit to another.
    friend TARVIS_API void ConvertUnit(KaRegion* region, eKaUnit from, eKaUnit to);

private:
    KaPoint m_lowerLeft;
    KaPoint m_upperRight;
};

TARVIS_API void ConvertUnit(KaRegion* region, eKaUnit from, eKaUnit to);

// The common part [lo, hi] of the intervals a and b (each given in either order).
// The four ends are ordered with ties kept as A-start, A-end, B-start, B-end, so
// an A that ends where B begins counts as disjoint (0, 0), while a B that ends
// where A begins gives that single value twice.
TARVIS_API void KaIntervall(double& lo, double& hi, double a1, double a2, double b1, double b2);
