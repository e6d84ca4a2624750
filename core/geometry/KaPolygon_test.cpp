#include "geometry/KaLine.h"
#include "geometry/KaPolygon.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <utility>

namespace {

KaPolygon Polygon(std::initializer_list<std::pair<double, double>> corners) {
    KaPolygon polygon;
    unsigned int id = 0;
    for (auto const& [x, y] : corners)
        polygon.AddPoint(KaPoint(++id, x, y));
    return polygon;
}

bool Inside(KaPolygon const& polygon, double x, double y) {
    KaPoint const p(0, x, y);
    return polygon.Overlap(p);
}

// The plain edge count: every edge meeting the ray to the right counts.
bool PlainCount(KaPolygon const& polygon, KaPoint const& p) {
    KaPoint const& lo = polygon.GetMinCorner();
    KaPoint const& hi = polygon.GetMaxCorner();
    double const xr = std::fabs(2 * (hi.x - lo.x)) + std::fabs(hi.x);
    KaLine const ray(p.x, p.y, 0, xr, p.y, 0);
    int count = 0;
    for (KaPoint const* a = polygon.First(); a; a = a->Next())
        count += Intersect(KaLine(*a, a->Next() ? *a->Next() : *polygon.First()), ray) ? 1 : 0;
    return count % 2 == 1;
}

// The classic crossing rule with half-open edges, for points off the outline.
bool HalfOpen(KaPolygon const& polygon, KaPoint const& p) {
    bool inside = false;
    for (KaPoint const* a = polygon.First(); a; a = a->Next()) {
        KaPoint const& b = a->Next() ? *a->Next() : *polygon.First();
        if ((a->y > p.y) != (b.y > p.y) && p.x < (b.x - a->x) * (p.y - a->y) / (b.y - a->y) + a->x)
            inside = !inside;
    }
    return inside;
}

bool OnOutline(KaPolygon const& polygon, KaPoint const& p) {
    for (KaPoint const* a = polygon.First(); a; a = a->Next())
        if (CounterClockwise(*a, a->Next() ? *a->Next() : *polygon.First(), p) == 0)
            return true;
    return false;
}

bool VertexRightOf(KaPolygon const& polygon, KaPoint const& p) {
    for (KaPoint const* a = polygon.First(); a; a = a->Next())
        if (a->y == p.y && a->x > p.x)
            return true;
    return false;
}

} // namespace

TEST(KaPolygon, RectangleAreaAndLength) {
    KaPolygon const r(KaRegion(2, 1, 0, 0));
    ASSERT_EQ(r.Count(), 4);
    unsigned int id = 1;
    for (KaPoint const* p = r.First(); p; p = p->Next())
        EXPECT_EQ(p->GetId(), id++);
    EXPECT_EQ(r.First()->Next()->x, 2); // counter-clockwise from the lower left
    EXPECT_EQ(r.First()->Next()->y, 0);
    EXPECT_DOUBLE_EQ(r.Area(), 2.0);
    EXPECT_DOUBLE_EQ(r.Length(true), 6.0);
    EXPECT_DOUBLE_EQ(r.Length(false), 5.0);
    EXPECT_EQ(r.GetRegion(), KaRegion(0, 0, 2, 1));

    EXPECT_EQ(Polygon({{0, 0}, {1, 1}}).Area(), -1.0);
    EXPECT_EQ(Polygon({{0, 0}}).Length(true), -1.0);
    // A clockwise outline has the same area; an outline already closed gets no extra edge.
    EXPECT_DOUBLE_EQ(Polygon({{0, 0}, {0, 3}, {4, 3}, {4, 0}}).Area(), 12.0);
    EXPECT_DOUBLE_EQ(Polygon({{0, 0}, {3, 0}, {3, 4}, {0, 0}}).Length(true), 12.0);

    KaPolygon spatial(KaPolygonXYZ);
    spatial.AddPoint(KaPoint(1, 1, 5, -2));
    spatial.AddPoint(KaPoint(2, -1, 2, 3));
    EXPECT_EQ(spatial.GetMinCorner().x, -1);
    EXPECT_EQ(spatial.GetMaxCorner().y, 5);
    EXPECT_EQ(spatial.Deep(), 5);
    EXPECT_EQ(spatial.Boxvol(), 2 * 3 * 5);
}

TEST(KaPolygon, PointInConcaveShapes) {
    KaPolygon const square = Polygon({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
    EXPECT_TRUE(Inside(square, 1, 1));
    EXPECT_FALSE(Inside(square, 3, 1));

    // An L: the notch lies inside the box but outside the outline.
    KaPolygon const l = Polygon({{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 4}, {0, 4}});
    EXPECT_TRUE(Inside(l, 0.5, 3));
    EXPECT_TRUE(Inside(l, 3, 0.5));
    EXPECT_FALSE(Inside(l, 3, 3));

    // A comb with three teeth, the ray passing through several of them.
    KaPolygon const comb = Polygon(
        {{0, 0}, {7, 0}, {7, 5}, {6, 5}, {6, 1}, {4, 1}, {4, 5}, {3, 5}, {3, 1}, {1, 1}, {1, 5}, {0, 5}});
    EXPECT_TRUE(Inside(comb, 0.5, 3));
    EXPECT_FALSE(Inside(comb, 2, 3));
    EXPECT_TRUE(Inside(comb, 3.5, 3));
    EXPECT_FALSE(Inside(comb, 5, 3));
    EXPECT_TRUE(Inside(comb, 2, 0.5));

    // Spatial polygons answer with their box; an empty polygon at its box says yes.
    KaPolygon spatial(KaPolygonNrXYZ);
    spatial.AddPoint(KaPoint(1, 0, 0, 0));
    spatial.AddPoint(KaPoint(2, 4, 0, 0));
    spatial.AddPoint(KaPoint(3, 4, 4, 1));
    EXPECT_TRUE(Inside(spatial, 3.9, 0.1)); // outside the triangle, inside the box
    KaPoint high(0, 1, 1, 2);
    EXPECT_FALSE(spatial.Overlap(high));
    EXPECT_TRUE(KaPolygon().Overlap(KaPoint()));
    EXPECT_FALSE(square.Overlap(static_cast<KaPoint const*>(nullptr)));
}

TEST(KaPolygon, RayThroughVertices) {
    // The outline crosses the ray at (1, 0): counted once.
    KaPolygon const diamond = Polygon({{0, -1}, {1, 0}, {0, 1}, {-1, 0}});
    EXPECT_TRUE(Inside(diamond, -0.5, 0));
    EXPECT_TRUE(Inside(diamond, 0, 0));
    EXPECT_FALSE(Inside(diamond, -0.9, 0.9));

    // The outline touches the ray at the notch (3, 1) and turns back: no crossing.
    KaPolygon const notch = Polygon({{0, 0}, {4, 0}, {4, 4}, {3, 1}, {2, 4}, {0, 4}});
    EXPECT_TRUE(Inside(notch, 1, 1));
    EXPECT_FALSE(Inside(notch, 3, 3));
    // A downward spike touching the ray from below.
    KaPolygon const spike = Polygon({{0, 0}, {2, 0}, {3, 2}, {4, 0}, {6, 0}, {6, 4}, {0, 4}});
    EXPECT_FALSE(Inside(spike, 3, 1));
    EXPECT_TRUE(Inside(spike, 1, 2));

    // The ray runs along an edge: a step goes on to the other side, a notch turns back.
    KaPolygon const step = Polygon({{0, 0}, {4, 0}, {4, 2}, {6, 2}, {6, 6}, {0, 6}});
    EXPECT_TRUE(Inside(step, 1, 2));
    KaPolygon const u = Polygon({{0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 2}, {2, 2}, {2, 6}, {0, 6}});
    EXPECT_TRUE(Inside(u, 1, 2));
    EXPECT_FALSE(Inside(u, 3, 4));
    // The same with the run split into two collinear edges and starting the list.
    KaPolygon const split = Polygon({{3, 2}, {2, 2}, {2, 6}, {0, 6}, {0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 2}});
    EXPECT_TRUE(Inside(split, 1, 2));
}

TEST(KaPolygon, AgreesWithThePlainCountWhereItHolds) {
    // On a half-unit grid many rays pass through vertices and along edges.
    KaPolygon const shapes[] = {
        Polygon(
            {{0, 0}, {7, 0}, {7, 5}, {6, 5}, {6, 1}, {4, 1}, {4, 5}, {3, 5}, {3, 1}, {1, 1}, {1, 5}, {0, 5}}),
        Polygon({{0, -2}, {2, 0}, {0, 2}, {-2, 0}}),
        Polygon({{0, 0}, {2, 1}, {4, 0}, {3, 2}, {4, 4}, {2, 3}, {0, 4}, {1, 2}}),
        Polygon({{0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 2}, {2, 2}, {2, 6}, {0, 6}}),
        Polygon({{0, 0}, {2, 2}, {4, 0}, {4, 4}, {2, 2}, {0, 4}}), // touches itself
    };
    int vertexRays = 0;
    for (KaPolygon const& shape : shapes) {
        for (double y = -2.5; y <= 6.5; y += 0.5) {
            for (double x = -2.5; x <= 7.5; x += 0.5) {
                KaPoint const p(0, x, y);
                bool const inside = shape.Overlap(p);
                if (!VertexRightOf(shape, p)) {
                    EXPECT_EQ(inside, PlainCount(shape, p)) << x << ", " << y;
                } else {
                    ++vertexRays;
                }
                if (!OnOutline(shape, p)) {
                    EXPECT_EQ(inside, HalfOpen(shape, p)) << x << ", " << y;
                }
            }
        }
    }
    EXPECT_GT(vertexRays, 100);
}

TEST(KaPolygon, PointsOnTheOutline) {
    // Points on the outline keep the answer of the plain edge count: the edge
    // through p counts, so right-hand edges are inside, left-hand ones outside.
    KaPolygon const square = Polygon({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
    EXPECT_TRUE(Inside(square, 2, 1));
    EXPECT_FALSE(Inside(square, 0, 1));
    EXPECT_FALSE(Inside(square, 1, 0));
    EXPECT_FALSE(Inside(square, 1, 2));
    EXPECT_TRUE(Inside(square, 0, 0)); // three edges meet the ray there
    EXPECT_FALSE(Inside(square, 2, 2));

    KaPolygon const diamond = Polygon({{0, -1}, {1, 0}, {0, 1}, {-1, 0}});
    EXPECT_TRUE(Inside(diamond, 0.5, -0.5));
    EXPECT_FALSE(Inside(diamond, -0.5, -0.5));
    EXPECT_FALSE(Inside(diamond, 1, 0));
}

TEST(KaPolygon, CopiesAndAddsDeeply) {
    KaPointList list;
    list.Add(new KaPoint(7, 1, 1));
    list.Add(new KaPoint(8, -1, 3));
    KaPolygon a(&list, KaPolygonNrXY);
    EXPECT_EQ(a.GetMinCorner().x, -1);
    EXPECT_EQ(a.GetMaxCorner().y, 3);
    KaPolygon b(a);
    b.AddPoint(KaPoint(9, 5, 0));
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(b.Count(), 3);
    EXPECT_EQ(b.GetMode(), KaPolygonNrXY);
    a = b;
    EXPECT_EQ(a.GetMaxCorner().x, 5);
    a.GetPointList().First()->x = -4;
    a.UpdateMinMax();
    EXPECT_EQ(a.GetMinCorner().x, -4);
    EXPECT_EQ(b.GetMinCorner().x, -1);
}

TEST(KaPolygon, ReadAndWriteInEveryMode) {
    struct Holder : LinkHdl {
        KaPolygon polygon;
        long Read(void* arg) { return polygon.Read(static_cast<KaReaderObject*>(arg)); }
    };
    auto read = [](Holder& holder, std::string const& text) {
        std::istringstream in(text);
        KaReader reader(in, "polygon");
        KaReaderObject object("POLY", Link(&holder, &Holder::Read));
        reader.RegisterObject(object);
        reader.DoProcess(true);
        return reader.GetReadErrorCount();
    };

    // Two points make their rectangle.
    Holder two;
    EXPECT_EQ(read(two, "POLY { 4 3\n 1 1 }"), 0);
    ASSERT_EQ(two.polygon.Count(), 4);
    EXPECT_EQ(two.polygon.GetRegion(), KaRegion(1, 1, 4, 3));
    EXPECT_DOUBLE_EQ(two.polygon.Area(), 6.0);

    auto const dir = std::filesystem::temp_directory_path() / "tarvis_polygon_test";
    std::filesystem::create_directories(dir);
    for (KAPolygonMode mode : {KaPolygonXY, KaPolygonNrXY, KaPolygonXYZ, KaPolygonNrXYZ}) {
        KaPolygon polygon(mode);
        polygon.AddPoint(KaPoint(11, 0.1, 2.5, 1.0 / 3));
        polygon.AddPoint(KaPoint(12, 1234567.891, -0.5, 7));
        polygon.AddPoint(KaPoint(13, 3, 1e-7, -1));
        auto const file = dir / "polygon.txt";
        {
            std::ofstream out(file);
            out << "POLY" << KaBeginBlockNL;
            polygon.Write(out);
            out << KaEndBlockNL << "\n";
        }
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        Holder back;
        back.polygon.SetMode(mode);
        EXPECT_EQ(read(back, text.str()), 0) << mode;
        ASSERT_EQ(back.polygon.Count(), 3) << mode;
        bool const numbered = mode == KaPolygonNrXY || mode == KaPolygonNrXYZ;
        bool const spatial = mode == KaPolygonXYZ || mode == KaPolygonNrXYZ;
        for (KaPoint const *p = polygon.First(), *q = back.polygon.First(); p && q;
             p = p->Next(), q = q->Next()) {
            EXPECT_EQ(q->GetId(), numbered ? p->GetId() : 0u);
            EXPECT_EQ(q->x, p->x);
            EXPECT_EQ(q->y, p->y);
            EXPECT_EQ(q->z, spatial ? p->z : 0.0);
        }
        EXPECT_EQ(back.polygon.GetMaxCorner().x, 1234567.891);
        EXPECT_EQ(back.polygon.GetMinCorner().y, -0.5);
    }
    std::filesystem::remove_all(dir);

    // A block cut off by the end of the input keeps the vertices read so far.
    Holder cut;
    read(cut, "POLY { 0 0 5 0 5 5");
    EXPECT_EQ(cut.polygon.Count(), 3);
    EXPECT_EQ(cut.polygon.GetMaxCorner().x, 5);
}

TEST(KaPolygon, GravityCenterAndClosedPath) {
    KaPointList square;
    square.Add(new KaPoint(1, 0, 0));
    square.Add(new KaPoint(2, 2, 0));
    square.Add(new KaPoint(3, 2, 2));
    square.Add(new KaPoint(4, 0, 2));
    square.First()->dx = 4;
    KaPoint const c = KaCalcGravitycenter(square);
    EXPECT_DOUBLE_EQ(c.x, 1);
    EXPECT_DOUBLE_EQ(c.y, 1);
    EXPECT_DOUBLE_EQ(c.dx, 1);
    EXPECT_EQ(c.GetId(), 0u);
    EXPECT_EQ(KaCalcGravitycenter(KaPointList()).x, 0);

    KaPointList in;
    in.Add(new KaPoint(1, 0, 1));
    in.Add(new KaPoint(2, -1, 0));
    in.Add(new KaPoint(3, 1, 0));
    in.Add(new KaPoint(4, 0, -1));
    KaPointList out;
    out.Add(new KaPoint(99, 9, 9));
    ASSERT_EQ(KaSimpleClosedPath(in, &out), 4);
    unsigned int const order[] = {4, 3, 1, 2};
    double const angles[] = {0, 45, 90, 135};
    int i = 0;
    for (KaPoint const* p = out.First(); p; p = p->Next(), ++i) {
        EXPECT_EQ(p->GetId(), order[i]);
        EXPECT_DOUBLE_EQ(p->redu, angles[i]);
    }
    EXPECT_EQ(in.First()->redu, 0.0); // the input is left alone
    EXPECT_EQ(KaSimpleClosedPath(KaPointList(), &out), 0);
    EXPECT_EQ(out.Count(), 0);
}
