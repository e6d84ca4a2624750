#include "geometry/KaVector3d.h"

#include "geometry/KaAffinMap3d.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// ---------------------------------------------------------------------------
// KaVector3d

KaVector3d::KaVector3d(KaFrame3d const& f, double x, double y, double z)
    : KaVector3d(x * f.v1() + y * f.v2() + z * f.v3()) {}

KaPoint3d KaVector3d::operator+(KaPoint3d const& p) const {
    return {x() + p.x(), y() + p.y(), z() + p.z()};
}

KaVector3d& KaVector3d::operator*=(double f) {
    x() *= f;
    y() *= f;
    z() *= f;
    return *this;
}

KaVector3d KaVector3d::operator%(KaVector3d const& b) const {
    return {y() * b.z() - z() * b.y(), z() * b.x() - x() * b.z(), x() * b.y() - y() * b.x()};
}

double KaVector3d::Norm() const {
    return std::sqrt(*this * *this);
}

KaVector3d& KaVector3d::Normalize() {
    return *this *= 1.0 / Norm();
}

bool KaVector3d::IsNormalized(double eps) const {
    double const n = Norm();
    return 1.0 - eps <= n && n <= 1.0 + eps;
}

bool KaVector3d::IsPerpendicular(KaVector3d const& b, double eps) const {
    return std::fabs(*this * b) < eps;
}

double KaVector3d::Angle(KaVector3d const& b) const {
    // Rounding can carry the cosine of (anti)parallel vectors just past 1, where
    // acos has no value; a zero vector still gives NaN.
    double const c = (*this * b) / (b.Norm() * Norm());
    return std::acos(std::clamp(c, -1.0, 1.0));
}

bool KaVector3d::IsLinearIndependent(KaVector3d const& b, double eps) const {
    if (b.Norm() < eps || Norm() < eps)
        return false;
    return Angle(b) >= eps;
}

KaVector3d& KaVector3d::Transform(KaAffinMap3d const& m) {
    return *this = m.Transform(*this);
}

double operator*(KaVector3d const& a, KaVector3d const& b) {
    return a.x() * b.x() + a.y() * b.y() + a.z() * b.z();
}

KaVector3d operator*(KaVector3d const& v, double f) {
    return KaVector3d(v) *= f;
}

KaVector3d operator*(double f, KaVector3d const& v) {
    return KaVector3d(v) *= f;
}

double Norm(KaVector3d const& v) {
    return v.Norm();
}

KaVector3d Normalized(KaVector3d const& v) {
    return KaVector3d(v).Normalize();
}

double Angle(KaVector3d const& a, KaVector3d const& b) {
    return a.Angle(b);
}

// ---------------------------------------------------------------------------
// KaPoint3d

KaPoint3d::KaPoint3d(KaFrame3d const& f, double x, double y, double z)
    : KaPoint3d(f.Origin() + x * f.v1() + y * f.v2() + z * f.v3()) {}

double KaPoint3d::Distance(KaPoint3d const& p) const {
    return (*this - p).Norm();
}

KaPoint3d& KaPoint3d::Transform(KaAffinMap3d const& m) {
    return *this = m.Transform(*this);
}

double Distance(KaPoint3d const& a, KaPoint3d const& b) {
    return a.Distance(b);
}

KaPoint3d AffinCombination(KaPoint3d const& p1, KaPoint3d const& p2, double w1, double w2) {
    return p1 + (w2 / (w1 + w2)) * (p2 - p1);
}

// ---------------------------------------------------------------------------
// Free functions

double NormAngle(double const& a) {
    constexpr double TwoPi = 2.0 * std::numbers::pi;
    double r = a;
    if (!std::isfinite(r))
        return r;
    // Turn by turn would take ages far out (or never end, once 2 pi is below the
    // spacing of the doubles); there whole turns go at once.
    if (std::fabs(r) > 1024.0 * TwoPi)
        r = std::fmod(r, TwoPi);
    while (r < 0.0)
        r += TwoPi;
    while (r > TwoPi)
        r -= TwoPi;
    return r;
}

int CounterClockwise(KaPoint3d const& a, KaPoint3d const& b, KaPoint3d const& c) {
    double const dx1 = b.x() - a.x(), dy1 = b.y() - a.y();
    double const dx2 = c.x() - a.x(), dy2 = c.y() - a.y();
    if (dx1 * dy2 > dx2 * dy1)
        return 1;
    if (dx1 * dy2 < dx2 * dy1)
        return -1;
    if (dx2 * dx1 < 0.0 || dy2 * dy1 < 0.0)
        return -1;
    if (dx2 * dx2 + dy2 * dy2 <= dx1 * dx1 + dy1 * dy1)
        return 0;
    return 1;
}

void ArbAxisAlg(KaVector3d const& n, KaVector3d& ax, KaVector3d& ay) {
    constexpr double Limit = 1.0 / 64.0;
    KaVector3d const world =
        std::fabs(n.x()) < Limit && std::fabs(n.y()) < Limit ? KaVector3d(0, 1, 0) : KaVector3d(0, 0, 1);
    // Locals first: ax or ay may be n itself.
    KaVector3d const x = Normalized(world % n);
    KaVector3d const y = Normalized(n % x);
    ax = x;
    ay = y;
}
