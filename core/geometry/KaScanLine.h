#pragma once

#include "TarvisExport.h"

#include <vector>

class KaPoint;
class KaPolygon;

// One polygon edge in an edge list: where it ends, its x on the current scan
// line and the change of x from one line to the next. Lists are singly linked
// through `next`, kept sorted by ascending dXmin (equal values in insertion
// order), and own their entries: the list operations take the head and return
// the new one.
struct TARVIS_API EdgeTableEntry {
    EdgeTableEntry() = default;
    EdgeTableEntry(int yMax, double xMin, double slope) : iYmax(yMax), dXmin(xMin), d1m(slope) {}

    void init();
    bool ShouldInsert(EdgeTableEntry const* e) const { return e->dXmin < dXmin; }

    // Links e in before the first entry with a greater dXmin.
    static EdgeTableEntry* Insert(EdgeTableEntry* head, EdgeTableEntry* e);
    // Insertion sort by dXmin.
    static EdgeTableEntry* Sort(EdgeTableEntry* head);
    // Moves every entry on to the next scan line.
    static EdgeTableEntry* AddToAll_1m(EdgeTableEntry* head);
    // Appends list (which the result then owns) and sorts.
    static EdgeTableEntry* InsertList(EdgeTableEntry* head, EdgeTableEntry* list);
    // Deletes every entry that ends on scan line y.
    static EdgeTableEntry* DeleteAll(EdgeTableEntry* head, int y);
    // A copy of the whole list, in the same order.
    static EdgeTableEntry* CopyList(EdgeTableEntry const* head);
    static void DeleteList(EdgeTableEntry* head);
    static int Count(EdgeTableEntry const* head);

    int iYmax = 0;
    double dXmin = 0.0;
    double d1m = 0.0;
    EdgeTableEntry* next = nullptr;
};

// Converts a polygon into horizontal spans, scan line by scan line, with an
// edge table and an active edge table. A derived class does the work for each
// span in Callback_Line: it reads the span from x1, x2 and the line from y.
//
// The band yStart..yEnd is cut into `lines` steps; the lines are numbered 0 to
// lines, and line i at y = yStart + i * step stands for the cell from there to
// the next line. An edge is active from the line of its lower end (one line
// later where the outline runs on downwards through that end, so a monotone
// vertex is counted once) through the line of its upper end. Edges reaching
// outside the band are clipped to it. yEnd may be smaller than yStart; the
// lines then run downwards. An empty band (yStart == yEnd) has no edges.
class TARVIS_API KaScanLine {
public:
    // The polygon is NOT owned and must live until the constructor returns; the
    // edge table is built here. lines < 1 is taken as 1.
    KaScanLine(KaPolygon* polygon, int lines, double yStart, double yEnd);
    // Copies carry their own copy of the edge table.
    KaScanLine(KaScanLine const& other);
    KaScanLine& operator=(KaScanLine const& other);
    virtual ~KaScanLine();

    // Runs the conversion: Callback_Line once per span. False when the table has
    // no edge. The edge table stays, so Process may run again.
    virtual bool Process();
    // Called once per span. While it runs, `line` holds the current line index
    // minus 1 and `y` the current line's y. With normal clipping the spans are
    // the pairs of active edges from the left (an unpaired last edge gives
    // none), each widened by half a pixel on both sides; otherwise one span from
    // xMin to xMax per line that has active edges. The result is not evaluated.
    virtual bool Callback_Line();

    void SetNormalClippingMode(bool on) { normalClipping = on; }
    bool GetNormalClippingMode() const { return normalClipping; }

    // Diagnostic aids, written to the log folder (TARVIS_LOG_DIR, else the
    // system's temporary folder): the edge table to "etprnt.log", which also
    // starts "aetprnt.log"; PrintAET appends the current line's active edges to
    // "aetprnt.log". False when the file cannot be written.
    bool PrintET() const;
    bool PrintAET() const;

    // Drops the edge table and the active edges and resets the clipping mode and
    // the x extent.
    void init();

    int GetLines() const { return lines; }
    double GetStep() const { return step; }
    int GetLine() const { return line; }
    double GetY() const { return y; }
    double GetX1() const { return x1; }
    double GetX2() const { return x2; }
    double GetXMin() const { return xMin; }
    double GetXMax() const { return xMax; }
    // The list of edges that start on line i (null when none or i is outside 0..lines).
    EdgeTableEntry const* GetEdgeList(int i) const;
    EdgeTableEntry const* GetActiveEdges() const { return activeEdges; }

protected:
    // Builds the edge table from the polygon; false without a vertex.
    bool CreateEdgeTable();

    KaPolygon* polygon = nullptr;
    int lines = 1;
    double step = 0.0;
    double yStart = 0.0;
    double yEnd = 0.0;
    std::vector<EdgeTableEntry*> edgeTable; // lines + 1 owned lists
    EdgeTableEntry* activeEdges = nullptr;  // owned
    bool normalClipping = true;
    double xMin;
    double xMax;
    int line = 0;
    double y = 0.0;
    double x1 = 0.0;
    double x2 = 0.0;

private:
    void FreeTables();
    void CopyTables(KaScanLine const& other);
    // Puts the edge into the list of its first line, or drops it when it covers
    // no line of the band. startLater applies the monotone vertex rule.
    void AddEdge(KaPoint const& lower, KaPoint const& upper, bool startLater);
    // a comes before b in the order of the lines.
    bool Before(double a, double b) const { return step > 0.0 ? a < b : a > b; }
};
