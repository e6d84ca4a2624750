#pragma once

#include "TarvisExport.h"
#include "geometry/KaVector3d.h"
#include "numerics/MMatrix.h"

class KaLine3d;

// An affine map of space as a 4 x 4 matrix acting on column vectors: rows 0..2
// hold the linear part and, in column 3, the translation; row 3 is (0, 0, 0, 1).
class TARVIS_API KaAffinMap3d : public _MMatrix {
public:
    KaAffinMap3d(); // identity
    // From the frame's own coordinates to world coordinates: columns v1, v2, v3
    // and the origin as translation.
    explicit KaAffinMap3d(KaFrame3d const& f);
    // The map that carries f1 onto f2: map(f2) * map(f1)^-1.
    KaAffinMap3d(KaFrame3d const& f1, KaFrame3d const& f2);
    KaAffinMap3d(KaAffinMap3d const& other) = default;
    KaAffinMap3d& operator=(KaAffinMap3d const& other) = default;

    KaPoint3d Transform(KaPoint3d const& p) const;
    KaVector3d Transform(KaVector3d const& v) const;
    KaFrame3d Transform(KaFrame3d const& f) const;
    // The line through the two mapped end points.
    KaLine3d Transform(KaLine3d const& l) const;

    // this * b: b is applied first.
    KaAffinMap3d operator*(KaAffinMap3d const& b) const;
    // Determinant of the linear part.
    double Det() const;
    // Inverts in place and returns 0; returns 1 and leaves the map as it is when
    // the determinant is exactly 0.
    int Invert();

protected:
    // out.x, y, z := rows 0..2 times (x, y, z, w) of in; w is copied.
    void Transformer(_MVector const* in, _MVector* out) const;
};

TARVIS_API double Det(KaAffinMap3d const& m);
// Translation.
TARVIS_API KaAffinMap3d Tl(double dx, double dy, double dz);
TARVIS_API KaAffinMap3d Tl(KaVector3d const& v);
// Scale along the axes.
TARVIS_API KaAffinMap3d S(double sx, double sy, double sz);
// Right-handed rotations about the axes (radians).
TARVIS_API KaAffinMap3d RotX(double t);
TARVIS_API KaAffinMap3d RotY(double t);
TARVIS_API KaAffinMap3d RotZ(double t);
// RotZ(c) * RotY(b) * RotX(a): about x first.
TARVIS_API KaAffinMap3d RotXYZ(double a, double b, double c);
// An inverted copy; a singular map comes back unchanged.
TARVIS_API KaAffinMap3d Inv(KaAffinMap3d const& m);
// The map for surface normals: the transposed inverse of the linear part, no translation.
TARVIS_API KaAffinMap3d NormalTransformMap(KaAffinMap3d const& m);
// S of the lengths of the columns of the linear part.
TARVIS_API KaAffinMap3d GetScaleMap(KaAffinMap3d const& m);
// From a plane's own coordinates to world coordinates: the frame at the origin
// with the axes of ArbAxisAlg(n) and n itself (as given) as third axis.
TARVIS_API KaAffinMap3d MapEcsToWcs(KaVector3d const& n);
// The angles (a, b, c) of RotXYZ of the map's rotation, each in [0, 2 pi]. Rows of
// the linear part are brought to unit length and, for a negative determinant,
// reversed. Near b = +-pi/2 (|cos b| < 1e-6) only a combination of a and c is
// determined: c is then 0.
TARVIS_API void GetRotAngles(KaAffinMap3d const& m, double* a, double* b, double* c);
