#pragma once

#include "TarvisExport.h"
#include "numerics/KaMatrix.h"

// The unit normal of the plane z = 0 mapped by the homogeneous 4 x 4 matrix h
// into n (3 elements). False, n unchanged, when a mapped point lies at infinity.
TARVIS_API bool CalcNormVect(KaVector* n, KaMatrix const& h);
// The arbitrary axis algorithm on 3-element vectors (see ArbAxisAlg); always true.
TARVIS_API bool CalcArbitaryAlg(KaVector* ax, KaVector* ay, KaVector const& n);
// The angle between a and b in [0, pi].
TARVIS_API double CalcAngle(KaVector const& a, KaVector const& b);
