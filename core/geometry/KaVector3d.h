#pragma once

#include "TarvisExport.h"
#include "numerics/MMatrix.h"

class KaAffinMap3d;
class KaFrame3d;
class KaPoint3d;

// A free vector in space (w = 0): translations leave it unchanged.
class TARVIS_API KaVector3d : public _MVector {
public:
    KaVector3d() : _MVector(0.0) {}
    KaVector3d(double x, double y, double z) : _MVector(0.0, x, y, z) {}
    // x * f.v1 + y * f.v2 + z * f.v3.
    KaVector3d(KaFrame3d const& f, double x, double y, double z);

    KaVector3d operator-() const { return {-x(), -y(), -z()}; }
    KaVector3d operator+(KaVector3d const& b) const { return {x() + b.x(), y() + b.y(), z() + b.z()}; }
    KaVector3d operator-(KaVector3d const& b) const { return {x() - b.x(), y() - b.y(), z() - b.z()}; }
    KaPoint3d operator+(KaPoint3d const& p) const;
    KaVector3d& operator+=(KaVector3d const& b) { return *this = *this + b; }
    KaVector3d& operator-=(KaVector3d const& b) { return *this = *this - b; }
    KaVector3d& operator*=(double f);
    // Multiplies by 1/d.
    KaVector3d& operator/=(double d) { return *this *= 1.0 / d; }
    KaVector3d operator/(double d) const { return KaVector3d(*this) /= d; }
    // Cross product.
    KaVector3d operator%(KaVector3d const& b) const;
    KaVector3d& operator%=(KaVector3d const& b) { return *this = *this % b; }

    double Norm() const;
    // Divides by the norm in place; a zero vector becomes non-finite.
    KaVector3d& Normalize();
    bool IsNormalized(double eps) const;
    bool IsPerpendicular(KaVector3d const& b, double eps) const;
    // The angle to b in [0, pi].
    double Angle(KaVector3d const& b) const;
    // False when either vector is shorter than eps or the angle between them is
    // below eps; antiparallel vectors count as independent.
    bool IsLinearIndependent(KaVector3d const& b, double eps) const;
    KaVector3d& Transform(KaAffinMap3d const& m);
};

TARVIS_API double operator*(KaVector3d const& a, KaVector3d const& b); // dot product
TARVIS_API KaVector3d operator*(KaVector3d const& v, double f);
TARVIS_API KaVector3d operator*(double f, KaVector3d const& v);
TARVIS_API double Norm(KaVector3d const& v);
TARVIS_API KaVector3d Normalized(KaVector3d const& v);
TARVIS_API double Angle(KaVector3d const& a, KaVector3d const& b);

// A point in space (w = 1).
class TARVIS_API KaPoint3d : public _MVector {
public:
    KaPoint3d() : _MVector(1.0) {}
    KaPoint3d(double x, double y, double z) : _MVector(1.0, x, y, z) {}
    // f.Origin + x * f.v1 + y * f.v2 + z * f.v3.
    KaPoint3d(KaFrame3d const& f, double x, double y, double z);

    KaPoint3d operator+(KaVector3d const& v) const { return {x() + v.x(), y() + v.y(), z() + v.z()}; }
    KaPoint3d operator-(KaVector3d const& v) const { return {x() - v.x(), y() - v.y(), z() - v.z()}; }
    KaVector3d operator-(KaPoint3d const& p) const { return {x() - p.x(), y() - p.y(), z() - p.z()}; }
    KaVector3d AsVector() const { return {x(), y(), z()}; }
    double Distance(KaPoint3d const& p) const;
    KaPoint3d& Transform(KaAffinMap3d const& m);
};

TARVIS_API double Distance(KaPoint3d const& a, KaPoint3d const& b);
// p1 + w2 / (w1 + w2) * (p2 - p1).
TARVIS_API KaPoint3d AffinCombination(KaPoint3d const& p1, KaPoint3d const& p2, double w1, double w2);

// An origin and three axes, not necessarily orthonormal.
class TARVIS_API KaFrame3d {
public:
    KaFrame3d() : m_v1(1, 0, 0), m_v2(0, 1, 0), m_v3(0, 0, 1) {}
    KaFrame3d(KaPoint3d const& origin, KaVector3d const& v1, KaVector3d const& v2, KaVector3d const& v3)
        : m_origin(origin), m_v1(v1), m_v2(v2), m_v3(v3) {}
    KaFrame3d(KaFrame3d const& other) = default;
    KaFrame3d& operator=(KaFrame3d const& other) = default;

    KaPoint3d Origin() const { return m_origin; }
    KaVector3d v1() const { return m_v1; }
    KaVector3d v2() const { return m_v2; }
    KaVector3d v3() const { return m_v3; }
    KaVector3d& v1() { return m_v1; }
    KaVector3d& v2() { return m_v2; }
    KaVector3d& v3() { return m_v3; }

private:
    KaPoint3d m_origin;
    KaVector3d m_v1;
    KaVector3d m_v2;
    KaVector3d m_v3;
};

// The angle brought into [0, 2 pi] by whole turns (2 pi itself stays).
TARVIS_API double NormAngle(double const& a);

// The turn a -> b -> c on x and y: 1 to the left, -1 to the right. For collinear
// points: -1 when c lies behind a, 0 when c lies between a and b, 1 beyond b.
TARVIS_API int CounterClockwise(KaPoint3d const& a, KaPoint3d const& b, KaPoint3d const& c);

// The plane axes of the arbitrary axis algorithm for the extrusion direction n.
TARVIS_API void ArbAxisAlg(KaVector3d const& n, KaVector3d& ax, KaVector3d& ay);
