#include "geometry/KaPolygon.h"
#include "geometry/KaScanLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

namespace {

using Span = std::pair<double, double>;
using Spans = std::map<int, std::vector<Span>>;

KaPolygon Polygon(std::initializer_list<std::pair<double, double>> corners) {
    KaPolygon polygon;
    unsigned int id = 0;
    for (auto const& [x, y] : corners)
        polygon.AddPoint(KaPoint(++id, x, y));
    return polygon;
}

// Collects the spans by line index.
class Recorder : public KaScanLine {
public:
    using KaScanLine::KaScanLine;

    bool Callback_Line() override {
        int const index = GetLine() + 1;
        spans[index].emplace_back(GetX1(), GetX2());
        ys[index] = GetY();
        return true;
    }

    Spans spans;
    std::map<int, double> ys;
};

Spans Scan(KaPolygon& polygon, int lines, double y0, double y1, bool normal = true) {
    Recorder scan(&polygon, lines, y0, y1);
    scan.SetNormalClippingMode(normal);
    EXPECT_TRUE(scan.Process());
    return scan.spans;
}

// The spans of the scan line at y taken straight from the outline: the
// crossings of the edges, paired from the left and widened by half a pixel.
// Valid on lines whose cell holds no vertex.
std::vector<Span> Reference(KaPolygon const& polygon, double y) {
    std::vector<double> xs;
    for (KaPoint const* a = polygon.First(); a; a = a->Next()) {
        KaPoint const* b = a->Next() ? a->Next() : polygon.First();
        if ((a->y <= y && y < b->y) || (b->y <= y && y < a->y))
            xs.push_back(a->x + (y - a->y) * (b->x - a->x) / (b->y - a->y));
    }
    std::sort(xs.begin(), xs.end());
    std::vector<Span> spans;
    for (size_t i = 0; i + 1 < xs.size(); i += 2)
        spans.emplace_back(xs[i] - 0.5, xs[i + 1] + 0.5);
    return spans;
}

bool VertexInCell(KaPolygon const& polygon, double y, double step) {
    for (KaPoint const* p = polygon.First(); p; p = p->Next())
        if (y <= p->y && p->y < y + step)
            return true;
    return false;
}

void ExpectSpans(std::vector<Span> const& actual, std::vector<Span> const& expected, int line) {
    ASSERT_EQ(actual.size(), expected.size()) << "line " << line;
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].first, expected[i].first, 1e-9) << "line " << line;
        EXPECT_NEAR(actual[i].second, expected[i].second, 1e-9) << "line " << line;
    }
}

// Every line whose cell holds no vertex against the reference; returns how many were compared.
int ExpectMatchesReference(KaPolygon& polygon, int lines, double y0, double y1) {
    Spans const spans = Scan(polygon, lines, y0, y1);
    double const step = (y1 - y0) / lines;
    int compared = 0;
    for (int i = 0; i <= lines; ++i) {
        double const y = y0 + i * step;
        if (VertexInCell(polygon, y, step))
            continue;
        auto const it = spans.find(i);
        ExpectSpans(it == spans.end() ? std::vector<Span>{} : it->second, Reference(polygon, y), i);
        ++compared;
    }
    return compared;
}

} // namespace

TEST(KaScanLine, RectangleGivesOneSpanPerLine) {
    KaPolygon rectangle = Polygon({{0, 0}, {10, 0}, {10, 4}, {0, 4}});
    Recorder scan(&rectangle, 4, 0.0, 4.0);

    // The bottom edge and both sides start on line 0; the top edge covers no line.
    int entries = 0;
    for (int i = 0; i <= 4; ++i)
        entries += EdgeTableEntry::Count(scan.GetEdgeList(i));
    EXPECT_EQ(entries, 3);
    EXPECT_EQ(EdgeTableEntry::Count(scan.GetEdgeList(0)), 3);

    ASSERT_TRUE(scan.Process());
    ExpectSpans(scan.spans[0], {{-0.5, 0.5}}, 0);
    for (int i = 1; i <= 4; ++i) {
        ExpectSpans(scan.spans[i], {{-0.5, 10.5}}, i);
        EXPECT_EQ(scan.ys[i], i);
    }
    EXPECT_EQ(scan.spans.size(), 5u);

    // Without normal clipping: the whole x extent on every line with edges.
    Spans const whole = Scan(rectangle, 4, 0.0, 4.0, false);
    EXPECT_EQ(whole.size(), 5u);
    for (auto const& [line, spans] : whole)
        ExpectSpans(spans, {{0.0, 10.0}}, line);
}

TEST(KaScanLine, HorizontalEdges) {
    // A triangle standing on a horizontal edge: that edge is flat and lies
    // within line 0, where it pairs with the left side.
    KaPolygon triangle = Polygon({{0, 0}, {8, 0}, {4, 4}});
    Recorder scan(&triangle, 4, 0.0, 4.0);
    EdgeTableEntry const* bottom = scan.GetEdgeList(0);
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(bottom->iYmax, 0);
    EXPECT_EQ(bottom->d1m, 0.0);
    ASSERT_TRUE(scan.Process());
    ExpectSpans(scan.spans[0], {{-0.5, 0.5}}, 0);
    for (int i = 1; i <= 4; ++i)
        ExpectSpans(scan.spans[i], {{i - 0.5, 8.5 - i}}, i);

    // A step in the outline: the upper horizontal edges cover no line.
    KaPolygon steps = Polygon({{0, 0}, {10, 0}, {10, 2}, {5, 2}, {5, 4}, {0, 4}});
    Spans const spans = Scan(steps, 4, 0.0, 4.0);
    ExpectSpans(spans.at(1), {{-0.5, 10.5}}, 1);
    ExpectSpans(spans.at(2), {{-0.5, 5.5}}, 2);
    ExpectSpans(spans.at(3), {{-0.5, 5.5}}, 3);
    EXPECT_GE(ExpectMatchesReference(steps, 8, 0.0, 4.0), 4);
}

TEST(KaScanLine, VerticesOnScanLinesCountOnce) {
    // A diamond with every vertex on a line: the side vertices continue a
    // monotone chain, the bottom and top ones are extremes.
    KaPolygon diamond = Polygon({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
    Spans const spans = Scan(diamond, 10, 0.0, 10.0);
    ASSERT_EQ(spans.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        double const half = 5.0 - std::fabs(i - 5.0);
        ExpectSpans(spans.at(i), {{4.5 - half, 5.5 + half}}, i);
    }
}

TEST(KaScanLine, ConcaveAndSelfTouchingOutlines) {
    KaPolygon u = Polygon({{0, 0}, {9, 0}, {9, 6}, {6, 6}, {6, 2}, {3, 2}, {3, 6}, {0, 6}});
    Spans const spans = Scan(u, 6, 0.0, 6.0);
    for (int i = 3; i <= 5; ++i)
        ExpectSpans(spans.at(i), {{-0.5, 3.5}, {5.5, 9.5}}, i);
    EXPECT_EQ(ExpectMatchesReference(u, 12, 0.0, 6.0), 10);

    // Two squares that touch at one corner, traced as one outline.
    KaPolygon touching = Polygon({{0, 0}, {4, 0}, {4, 4}, {8, 4}, {8, 8}, {4, 8}, {4, 4}, {0, 4}});
    Spans const touch = Scan(touching, 8, 0.0, 8.0);
    for (int i = 1; i <= 3; ++i)
        ExpectSpans(touch.at(i), {{-0.5, 4.5}}, i);
    ExpectSpans(touch.at(4), {{-0.5, 4.5}, {3.5, 4.5}}, 4);
    for (int i = 5; i <= 8; ++i)
        ExpectSpans(touch.at(i), {{3.5, 8.5}}, i);

    // A star with ten vertices off the lines, at a step of half a unit.
    KaPolygon star;
    for (int k = 0; k < 10; ++k) {
        double const r = k % 2 ? 2.1 : 5.3;
        double const a = 0.1 + k * 3.14159265358979 / 5;
        star.AddPoint(KaPoint(k + 1, 6 + r * std::cos(a), 6 + r * std::sin(a)));
    }
    EXPECT_GT(ExpectMatchesReference(star, 24, 0.0, 12.0), 12);
}

TEST(KaScanLine, ClipsEdgesToTheBand) {
    KaPolygon tall = Polygon({{0, -5}, {10, -5}, {10, 15}, {0, 15}});
    Spans const spans = Scan(tall, 10, 0.0, 10.0);
    ASSERT_EQ(spans.size(), 11u);
    for (auto const& [line, s] : spans)
        ExpectSpans(s, {{-0.5, 10.5}}, line);

    // The lower half of a diamond lies below the band.
    KaPolygon diamond = Polygon({{5, -5}, {10, 0}, {5, 5}, {0, 0}});
    Spans const upper = Scan(diamond, 5, 0.0, 5.0);
    ASSERT_EQ(upper.size(), 6u);
    for (int i = 0; i <= 5; ++i)
        ExpectSpans(upper.at(i), {{i - 0.5, 10.5 - i}}, i);

    // Lines running downwards from the top of the band.
    Spans const down = Scan(diamond, 5, 5.0, 0.0);
    ASSERT_EQ(down.size(), 6u);
    for (int i = 0; i <= 5; ++i)
        ExpectSpans(down.at(i), {{4.5 - i, 5.5 + i}}, i);

    KaPolygon outside = Polygon({{0, 20}, {10, 20}, {5, 30}});
    Recorder none(&outside, 10, 0.0, 10.0);
    EXPECT_FALSE(none.Process());
    EXPECT_TRUE(none.spans.empty());
}

TEST(KaScanLine, DegenerateInput) {
    KaPolygon empty;
    Recorder noVertex(&empty, 4, 0.0, 4.0);
    EXPECT_FALSE(noVertex.Process());
    Recorder noPolygon(nullptr, 4, 0.0, 4.0);
    EXPECT_FALSE(noPolygon.Process());

    KaPolygon square = Polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    Recorder flat(&square, 4, 2.0, 2.0);
    EXPECT_FALSE(flat.Process());
    Recorder zeroLines(&square, 0, 0.0, 1.0);
    EXPECT_EQ(zeroLines.GetLines(), 1);
    EXPECT_TRUE(zeroLines.Process());

    KaPolygon point = Polygon({{3, 2}});
    Recorder single(&point, 4, 0.0, 4.0);
    EXPECT_TRUE(single.Process());
    EXPECT_TRUE(single.spans.empty());

    KaPolygon huge = Polygon({{0, -1e300}, {1, 1e300}, {2, NAN}});
    Recorder extreme(&huge, 4, 0.0, 4.0);
    extreme.Process();
}

TEST(KaScanLine, CopiesOwnTheirTablesAndRunAgain) {
    KaPolygon u = Polygon({{0, 0}, {9, 0}, {9, 6}, {6, 6}, {6, 2}, {3, 2}, {3, 6}, {0, 6}});
    auto original = std::make_unique<Recorder>(&u, 6, 0.0, 6.0);
    Recorder copy(*original);
    Recorder assigned(&u, 1, 0.0, 1.0);
    assigned = *original;
    ASSERT_TRUE(original->Process());
    Spans const first = original->spans;
    original->spans.clear();
    ASSERT_TRUE(original->Process());
    EXPECT_EQ(original->spans, first);
    original.reset();

    ASSERT_TRUE(copy.Process());
    EXPECT_EQ(copy.spans, first);
    ASSERT_TRUE(assigned.Process());
    EXPECT_EQ(assigned.spans, first);

    copy.init();
    EXPECT_FALSE(copy.Process());
}

TEST(KaScanLine, WritesDebugTablesToTheLogFolder) {
    std::filesystem::path const dir = std::filesystem::temp_directory_path() / "tarvis_scanline_test";
    std::filesystem::create_directories(dir);
    char const* saved = std::getenv("TARVIS_LOG_DIR");
    std::string const restore = saved ? saved : "";
    setenv("TARVIS_LOG_DIR", dir.c_str(), 1);

    struct Tracer : KaScanLine {
        using KaScanLine::KaScanLine;
        bool Callback_Line() override { return PrintAET(); }
    };
    KaPolygon rectangle = Polygon({{0, 0}, {10, 0}, {10, 4}, {0, 4}});
    Tracer scan(&rectangle, 4, 0.0, 4.0);
    EXPECT_TRUE(scan.PrintET());
    EXPECT_TRUE(scan.Process());

    auto read = [&](char const* name) {
        std::ifstream in(dir / name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    std::string const et = read("etprnt.log");
    EXPECT_EQ(et.rfind("Edge Table Entrys\nFormat: iYmax, dXmin, d1m\n"
                       "  0  -    0   0.000  0.000 |   4   0.000  0.000 |   4   10.000  0.000 |\n"
                       "  1  - \n",
                       0),
              0u)
        << et;
    std::string const aet = read("aetprnt.log");
    EXPECT_EQ(aet.rfind("Scan Line Conversation\nFormat: iYmax, dXmin, d1m\n", 0), 0u) << aet;
    // During the callbacks the line field is one behind the line index.
    EXPECT_NE(aet.find("\n -1  -    0   0.000  0.000 |   4   0.000  0.000 |   4   10.000  0.000 |\n"
                       "  0  -    4   0.000  0.000 |   4   10.000  0.000 |\n"),
              std::string::npos)
        << aet;

    if (saved)
        setenv("TARVIS_LOG_DIR", restore.c_str(), 1);
    else
        unsetenv("TARVIS_LOG_DIR");
    std::filesystem::remove_all(dir);
}
