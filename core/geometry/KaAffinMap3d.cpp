#include "geometry/KaAffinMap3d.h"

#include "geometry/KaLine3d.h"

#include <algorithm>
#include <cmath>

KaAffinMap3d::KaAffinMap3d() {
    for (int i = 0; i < 4; ++i)
        (*this)[i][i] = 1.0;
}

KaAffinMap3d::KaAffinMap3d(KaFrame3d const& f) : KaAffinMap3d() {
    SetRow(0, f.v1());
    SetRow(1, f.v2());
    SetRow(2, f.v3());
    SetRow(3, f.Origin());
}

KaAffinMap3d::KaAffinMap3d(KaFrame3d const& f1, KaFrame3d const& f2)
    : KaAffinMap3d(KaAffinMap3d(f2) * Inv(KaAffinMap3d(f1))) {}

void KaAffinMap3d::Transformer(_MVector const* in, _MVector* out) const {
    _MVector const v = *in; // in and out may be one object
    for (int i = 0; i < 3; ++i) {
        double const* r = (*this)[i];
        (*out)[i] = r[0] * v[0] + r[1] * v[1] + r[2] * v[2] + r[3] * v[3];
    }
    (*out)[3] = v[3];
}

KaPoint3d KaAffinMap3d::Transform(KaPoint3d const& p) const {
    KaPoint3d r;
    Transformer(&p, &r);
    return r;
}

KaVector3d KaAffinMap3d::Transform(KaVector3d const& v) const {
    KaVector3d r;
    Transformer(&v, &r);
    return r;
}

KaFrame3d KaAffinMap3d::Transform(KaFrame3d const& f) const {
    return KaFrame3d(Transform(f.Origin()), Transform(f.v1()), Transform(f.v2()), Transform(f.v3()));
}

KaLine3d KaAffinMap3d::Transform(KaLine3d const& l) const {
    return KaLine3d(Transform(l.getStart()), Transform(l.getEnd()));
}

KaAffinMap3d KaAffinMap3d::operator*(KaAffinMap3d const& b) const {
    KaAffinMap3d r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k)
                s += (*this)[i][k] * b[k][j];
            r[i][j] = s;
        }
    return r;
}

double KaAffinMap3d::Det() const {
    return Sarrus(3);
}

int KaAffinMap3d::Invert() {
    double const det = Det();
    if (det == 0.0)
        return 1;
    auto const& m = *this;
    // Cofactor of element (i, j) of the linear part.
    auto cofactor = [&m](int i, int j) {
        int const r0 = (i + 1) % 3, r1 = (i + 2) % 3, c0 = (j + 1) % 3, c1 = (j + 2) % 3;
        return m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0];
    };
    double inv[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            inv[i][j] = cofactor(j, i) / det;
    double const t[3] = {m[0][3], m[1][3], m[2][3]};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            (*this)[i][j] = inv[i][j];
        (*this)[i][3] = -(inv[i][0] * t[0] + inv[i][1] * t[1] + inv[i][2] * t[2]);
        (*this)[3][i] = 0.0;
    }
    (*this)[3][3] = 1.0;
    return 0;
}

double Det(KaAffinMap3d const& m) {
    return m.Det();
}

KaAffinMap3d Tl(double dx, double dy, double dz) {
    KaAffinMap3d m;
    m[0][3] = dx;
    m[1][3] = dy;
    m[2][3] = dz;
    return m;
}

KaAffinMap3d Tl(KaVector3d const& v) {
    return Tl(v.x(), v.y(), v.z());
}

KaAffinMap3d S(double sx, double sy, double sz) {
    KaAffinMap3d m;
    m[0][0] = sx;
    m[1][1] = sy;
    m[2][2] = sz;
    return m;
}

namespace {

// The identity with the 2 x 2 rotation by t in rows and columns i and j.
KaAffinMap3d PlaneRotation(int i, int j, double t) {
    KaAffinMap3d m;
    double const c = std::cos(t), s = std::sin(t);
    m[i][i] = c;
    m[i][j] = -s;
    m[j][i] = s;
    m[j][j] = c;
    return m;
}

} // namespace

KaAffinMap3d RotX(double t) {
    return PlaneRotation(1, 2, t);
}

KaAffinMap3d RotY(double t) {
    return PlaneRotation(2, 0, t);
}

KaAffinMap3d RotZ(double t) {
    return PlaneRotation(0, 1, t);
}

KaAffinMap3d RotXYZ(double a, double b, double c) {
    return RotZ(c) * RotY(b) * RotX(a);
}

KaAffinMap3d Inv(KaAffinMap3d const& m) {
    KaAffinMap3d r(m);
    r.Invert();
    return r;
}

KaAffinMap3d NormalTransformMap(KaAffinMap3d const& m) {
    KaAffinMap3d const inv = Inv(m);
    KaAffinMap3d r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = inv[j][i];
    return r;
}

KaAffinMap3d GetScaleMap(KaAffinMap3d const& m) {
    auto column = [&m](int j) {
        return std::sqrt(m[0][j] * m[0][j] + m[1][j] * m[1][j] + m[2][j] * m[2][j]);
    };
    return S(column(0), column(1), column(2));
}

KaAffinMap3d MapEcsToWcs(KaVector3d const& n) {
    KaVector3d ax, ay;
    ArbAxisAlg(n, ax, ay);
    return KaAffinMap3d(KaFrame3d(KaPoint3d(0, 0, 0), ax, ay, n));
}

void GetRotAngles(KaAffinMap3d const& m, double* a, double* b, double* c) {
    double const sign = m.Det() >= 0.0 ? 1.0 : -1.0;
    double r[3][3];
    for (int i = 0; i < 3; ++i) {
        double const length = std::sqrt(m[i][0] * m[i][0] + m[i][1] * m[i][1] + m[i][2] * m[i][2]);
        for (int j = 0; j < 3; ++j)
            r[i][j] = sign * m[i][j] / length;
    }
    // RotZ(c) * RotY(b) * RotX(a) has -sin b at (2, 0), cos b * (sin a, cos a) in
    // row 2 and cos b * (cos c, sin c) in column 0.
    double const sb = std::clamp(-r[2][0], -1.0, 1.0);
    double const cb = std::sqrt(std::max(0.0, 1.0 - sb * sb));
    double ra, rc;
    if (cb < 1e-6) {
        // Gimbal lock: RotY(+-pi/2) * RotX(a) keeps (cos a, -sin a) in row 1.
        ra = std::atan2(-r[1][2], r[1][1]);
        rc = 0.0;
    } else {
        ra = std::atan2(r[2][1], r[2][2]);
        rc = std::atan2(r[1][0], r[0][0]);
    }
    *a = NormAngle(ra);
    *b = NormAngle(std::asin(sb));
    *c = NormAngle(rc);
}
