#pragma once

#include "TarvisExport.h"
#include "geometry/KaRegion.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"

#include <iosfwd>

class KaReaderObject;

// The vertex columns of a polygon in files and the dimensions its tests use:
// planar polygons have a point-in-polygon test, spatial ones only their box.
enum KAPolygonMode {
    KaPolygonXY = 0,   // X, Y
    KaPolygonNrXY = 1, // #, X, Y
    KaPolygonXYZ = 2,  // X, Y, Z
    KaPolygonNrXYZ = 3 // #, X, Y, Z
};

// A closed polygon: the last vertex connects to the first. The box is kept up
// to date by the operations that add vertices.
class TARVIS_API KaPolygon {
public:
    explicit KaPolygon(KAPolygonMode mode = KaPolygonXY);
    // The axis-aligned rectangle of a and b.
    KaPolygon(KaPoint const& a, KaPoint const& b, KAPolygonMode mode = KaPolygonXY);
    // Every point of the list (null: none), in order.
    KaPolygon(KaPointList const* list, KAPolygonMode mode = KaPolygonXY);
    // The rectangle of the region, in mode 0.
    explicit KaPolygon(KaRegion const& region);
    KaPolygon(KaPolygon const& other);
    KaPolygon& operator=(KaPolygon const& other);
    virtual ~KaPolygon();

    KAPolygonMode GetMode() const { return mode; }
    void SetMode(KAPolygonMode m) { mode = m; }

    bool AddPoint(KaPoint const& p);
    bool AddPoint(KaPointList const* list);
    // Widens the box to hold p, in x, y and z.
    void UpdateMinMax(KaPoint const& p);
    // Recomputes the box from the vertices; an empty polygon keeps its box.
    void UpdateMinMax();

    KaPoint* First() const { return points.First(); }
    int Count() const { return points.Count(); }
    KaPointList& GetPointList() { return points; }
    KaPointList const& GetPointList() const { return points; }
    KaPoint const& GetMinCorner() const { return minCorner; }
    KaPoint const& GetMaxCorner() const { return maxCorner; }
    KaRegion GetRegion() const { return KaRegion(minCorner, maxCorner); }
    double Width() const { return maxCorner.x - minCorner.x; }
    double Height() const { return maxCorner.y - minCorner.y; }
    double Deep() const { return maxCorner.z - minCorner.z; }
    // The box's area for planar modes, its volume for spatial ones.
    double Boxvol() const;

    // In the box (x, y; modes 2 and 3 also z), border included.
    bool IsInBox(KaPoint const& p) const;
    // Point in polygon for modes 0 and 1, the box test for modes 2 and 3. A point
    // on the outline counts as the crossing count from it gives (a point on a
    // right-hand edge is inside, on a left-hand edge outside).
    bool Overlap(KaPoint const& p) const;
    bool Overlap(KaPoint const* p) const { return p && Overlap(*p); }

    // The enclosed area in x, y; -1.0 below three vertices. The flag has no effect.
    double Area(bool signedArea = false) const;
    // The length of the outline in 3D; -1.0 below two vertices. closed adds the
    // edge back to the first vertex when there are more than two distinct ends.
    double Length(bool closed) const;

    // Reads the vertices in the columns of the mode; two points give their rectangle.
    int Read(KaReaderObject* object);
    void Write(std::ostream& os);

protected:
    // Appends the four corners of the rectangle of a and b (the vertices already
    // there stay), counter-clockwise from the lower left, and numbers all
    // vertices from 1.
    void MakePolygon(KaPoint const& a, KaPoint const& b);

    KAPolygonMode mode;
    KaPoint minCorner;
    KaPoint maxCorner;
    KaPointList points;
};

// The mean of the points in x, y, z and their deviations; a zero point for an
// empty list.
TARVIS_API KaPoint KaCalcGravitycenter(KaPointList const& list);

// Orders the points counter-clockwise around the lowest one by a pseudo-angle in
// degrees, which each point keeps in its redu field, and puts them into out
// (emptied first). Returns the number of points.
TARVIS_API int KaSimpleClosedPath(KaPointList const& in, KaPointList* out);
