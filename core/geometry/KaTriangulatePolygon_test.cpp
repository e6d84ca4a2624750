#include "geometry/KaPolygon.h"
#include "geometry/KaTriangulatePolygon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <set>
#include <utility>

namespace {

KaPointList Outline(std::initializer_list<std::pair<double, double>> corners) {
    KaPointList list;
    unsigned int id = 0;
    for (auto const& [x, y] : corners)
        list.Add(KaPoint(++id, x, y));
    return list;
}

KaPointList RegularPolygon(int n, bool clockwise) {
    KaPointList list;
    for (int k = 0; k < n; ++k) {
        double const a = (clockwise ? -1 : 1) * 2 * 3.14159265358979 * k / n;
        list.Add(KaPoint(k + 1, 3 * std::cos(a), 3 * std::sin(a)));
    }
    return list;
}

double SignedArea(KaPointTripel t) {
    return 0.5 * ((t[1]->x - t[0]->x) * (t[2]->y - t[0]->y) - (t[2]->x - t[0]->x) * (t[1]->y - t[0]->y));
}

bool InList(KaPointList const& list, KaPoint const* p) {
    for (KaPoint const* q = list.First(); q; q = q->Next())
        if (q == p)
            return true;
    return false;
}

// The triangles cover the polygon: n - 2 of them, all turning the way the
// outline does, each inside the outline, their areas adding up to its area.
void ExpectTriangulates(KaPointList const& outline) {
    KaTriangulatePolygon const result(outline);
    KaPolygon const polygon(&outline);
    int const n = outline.Count();
    ASSERT_EQ(result.Count(), n - 2);
    ASSERT_EQ(result.GetPointList().Count(), n);

    double orientation = 0.0;
    for (KaPoint const* p = outline.First(); p; p = p->Next()) {
        KaPoint const* q = p->Next() ? p->Next() : outline.First();
        orientation += p->x * q->y - q->x * p->y;
    }
    double sum = 0.0;
    std::set<KaPoint const*> tips;
    for (int i = 0; i < result.Count(); ++i) {
        KaPointTripel t = result.GetTripel(i);
        ASSERT_TRUE(t.IsValid());
        for (int k = 0; k < 3; ++k) {
            EXPECT_TRUE(InList(result.GetPointList(), t[k]));
            EXPECT_TRUE(t.IsVisible(k));
        }
        double const area = SignedArea(t);
        EXPECT_GE(area * orientation, 0.0) << "triangle " << i;
        sum += std::fabs(area);
        KaPoint const centre(0, (t[0]->x + t[1]->x + t[2]->x) / 3, (t[0]->y + t[1]->y + t[2]->y) / 3);
        if (std::fabs(area) > 1e-9) {
            EXPECT_TRUE(polygon.Overlap(centre)) << "triangle " << i;
        }
        tips.insert(t[1]);
    }
    EXPECT_NEAR(sum, polygon.Area(), 1e-9);
    EXPECT_EQ(static_cast<int>(tips.size()), n - 2);
}

} // namespace

TEST(KaTriangulatePolygon, SquareKeepsTheLastTriangleAtTheEnd) {
    KaPointList const square = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    KaTriangulatePolygon const result(square);
    ASSERT_EQ(result.Count(), 2);
    KaPointList const& points = result.GetPointList();
    ASSERT_EQ(points.Count(), 4);

    // The first ear is cut at the first vertex; the rest is the last triangle.
    KaPointTripel first = result.GetTripel(0);
    EXPECT_EQ(first[1], points.First());
    EXPECT_EQ(first[0]->GetId(), 4u);
    EXPECT_EQ(first[1]->GetId(), 1u);
    EXPECT_EQ(first[2]->GetId(), 2u);
    KaPointTripel last = result.GetTripel(1);
    for (KaPoint const* p = points.First()->Next(); p; p = p->Next())
        EXPECT_TRUE(last.IsInTripel(p));
}

TEST(KaTriangulatePolygon, ConvexPolygons) {
    for (int n = 3; n <= 12; ++n) {
        SCOPED_TRACE(n);
        ExpectTriangulates(RegularPolygon(n, false));
        ExpectTriangulates(RegularPolygon(n, true));
    }
    // A vertex in the middle of an edge.
    ExpectTriangulates(Outline({{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}));
}

TEST(KaTriangulatePolygon, ConcavePolygons) {
    ExpectTriangulates(Outline({{0, 0}, {9, 0}, {9, 6}, {6, 6}, {6, 2}, {3, 2}, {3, 6}, {0, 6}}));
    ExpectTriangulates(Outline({{0, 0}, {0, 6}, {3, 6}, {3, 2}, {6, 2}, {6, 6}, {9, 6}, {9, 0}}));
    ExpectTriangulates(Outline({{0, 0}, {10, 0}, {10, 2}, {5, 2}, {5, 4}, {0, 4}}));
    // A comb: many reflex vertices in a row.
    ExpectTriangulates(Outline({{0, 0},
                                {10, 0},
                                {10, 5},
                                {9, 5},
                                {8, 1},
                                {7, 5},
                                {6, 1},
                                {5, 5},
                                {4, 1},
                                {3, 5},
                                {2, 1},
                                {1, 5},
                                {0, 5}}));
    KaPointList star;
    for (int k = 0; k < 14; ++k) {
        double const r = k % 2 ? 1.5 : 5.0;
        double const a = 0.2 + k * 3.14159265358979 / 7;
        star.Add(KaPoint(k + 1, r * std::cos(a), r * std::sin(a)));
    }
    ExpectTriangulates(star);
}

TEST(KaTriangulatePolygon, DegenerateOutlinesEndWithTheirPoints) {
    for (auto const& outline : {KaPointList(), Outline({{0, 0}}), Outline({{0, 0}, {1, 1}})}) {
        KaTriangulatePolygon const result(outline);
        EXPECT_EQ(result.Count(), 0);
        EXPECT_EQ(result.GetPointList().Count(), outline.Count());
    }

    // Crossing outlines end; no vertex is lost.
    for (auto const& outline : {Outline({{0, 0}, {2, 2}, {2, 0}, {0, 2}}),
                                Outline({{0, 0}, {4, 0}, {4, 4}, {2, -2}, {0, 4}, {3, 3}, {1, 3}})}) {
        KaTriangulatePolygon const result(outline);
        EXPECT_LE(result.Count(), outline.Count() - 2);
        EXPECT_EQ(result.GetPointList().Count(), outline.Count());
    }

    // All on one line.
    KaTriangulatePolygon const line(Outline({{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(line.GetPointList().Count(), 4);
}

TEST(KaTriangulatePolygon, CopiesReferToTheirOwnPoints) {
    KaPointList const u = Outline({{0, 0}, {9, 0}, {9, 6}, {6, 6}, {6, 2}, {3, 2}, {3, 6}, {0, 6}});
    auto original = std::make_unique<KaTriangulatePolygon>(u);
    KaTriangulatePolygon copy(*original);
    KaTriangulatePolygon assigned(Outline({{0, 0}, {1, 0}, {0, 1}}));
    assigned = *original;
    original.reset();

    for (KaTriangulatePolygon const* t : {&copy, &assigned}) {
        ASSERT_EQ(t->Count(), 6);
        double sum = 0.0;
        for (int i = 0; i < t->Count(); ++i) {
            KaPointTripel tripel = t->GetTripel(i);
            for (int k = 0; k < 3; ++k)
                EXPECT_TRUE(InList(t->GetPointList(), tripel[k]));
            sum += std::fabs(SignedArea(tripel));
        }
        EXPECT_NEAR(sum, 42.0, 1e-12);
    }
}
