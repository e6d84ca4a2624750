#pragma once

#include "TarvisExport.h"

class KaPhoto;
class KaPointList;
class KaRektTrafo;

// The outline, in image coordinates, of the part of a photo that a
// rectification transform covers: the transform's valid region when it has
// one; otherwise the photo's digitizing region, whose four edges are each
// divided into nine equal steps (36 points) when the transform compensates
// distortion, so that the curved image of a straight edge is followed.
// out is emptied first; the points are numbered from 1 unless they come from
// the valid region, which keeps its numbers. Returns the number of points in
// out (0 without photo or transform).
TARVIS_API int KaGetRektBikoPoints(KaPointList& out, KaPhoto const* photo, KaRektTrafo const* trafo);
