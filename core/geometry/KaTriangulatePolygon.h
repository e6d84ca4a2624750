#pragma once

#include "TarvisExport.h"
#include "foundation/KaArray.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"

// Cuts a simple polygon into triangles by ear clipping. The object owns copies
// of the vertices: the clipped ear tips in the order of clipping, then the
// three vertices of the last triangle. Each triangle is a tripel of references
// into that list, in the orientation of the input outline, all three marked
// visible. A simple polygon of n >= 3 vertices gives n - 2 triangles; an
// outline that crosses itself may stop early and leave the rest of its
// vertices, untriangulated, at the end of the list.
class TARVIS_API KaTriangulatePolygon {
public:
    explicit KaTriangulatePolygon(KaPointList const& polygon);
    // Deep copies: the tripels refer to the copy's own vertices.
    KaTriangulatePolygon(KaTriangulatePolygon const& other);
    KaTriangulatePolygon& operator=(KaTriangulatePolygon const& other);
    virtual ~KaTriangulatePolygon();

    KaPointList const& GetPointList() const { return points; }
    TKaArray<KaPointTripel> const& GetTripels() const { return tripels; }
    // The number of triangles.
    int Count() const { return tripels.Size(); }
    KaPointTripel GetTripel(int i) const { return tripels[i]; }

private:
    void Clip(KaPointList& working, bool reversed);
    void CopyFrom(KaTriangulatePolygon const& other);

    KaPointList points;
    TKaArray<KaPointTripel> tripels{256};
};
