#include "geometry/KaMatrix3d.h"

#include "geometry/KaVector3d.h"

#include <cmath>

namespace {

KaVector Homogeneous(double x, double y, double z) {
    KaVector v(4);
    v[1] = x;
    v[2] = y;
    v[3] = z;
    v[4] = 1.0;
    return v;
}

} // namespace

bool CalcNormVect(KaVector* n, KaMatrix const& h) {
    KaVector q[3] = {h * Homogeneous(0, 0, 0), h * Homogeneous(1, 0, 0), h * Homogeneous(0, 1, 0)};
    for (KaVector& p : q) {
        if (p[4] == 0.0)
            return false;
        p /= p[4];
        p.ChangeType(KaVectorXYZ);
    }
    KaVector normal = (q[1] - q[0]) % (q[2] - q[0]);
    *n = normal.Normalize();
    return true;
}

bool CalcArbitaryAlg(KaVector* ax, KaVector* ay, KaVector const& n) {
    KaVector3d x, y;
    ArbAxisAlg(KaVector3d(n[1], n[2], n[3]), x, y);
    KaVector rx(3), ry(3);
    for (int i = 0; i < 3; ++i) {
        rx[i + 1] = x[i];
        ry[i + 1] = y[i];
    }
    *ax = rx;
    *ay = ry;
    return true;
}

double CalcAngle(KaVector const& a, KaVector const& b) {
    KaVector na(a), nb(b);
    double const d = na.Normalize() * nb.Normalize();
    if (d < 1.0)
        // Antiparallel vectors may come out just below -1, where acos has no value.
        return d > -1.0 ? std::acos(d) : std::acos(-1.0);
    return 0.0;
}
