#include "geometry/KaLine.h"
#include "geometry/KaRegion.h"
#include "textio/KaReader.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

namespace {

void ExpectRegion(KaRegion const& r, double left, double bottom, double right, double top) {
    EXPECT_EQ(r.Left(), left);
    EXPECT_EQ(r.Bottom(), bottom);
    EXPECT_EQ(r.Right(), right);
    EXPECT_EQ(r.Top(), top);
}

} // namespace

TEST(KaRegion, SortsOnConstructionButNotOnArithmetic) {
    KaRegion r(5, 5, 1, 1);
    ExpectRegion(r, 1, 1, 5, 5);
    KaPoint corner(0, 5, 5);
    EXPECT_TRUE(r.Overlap(&corner));
    EXPECT_EQ(r.Width(), 4);
    EXPECT_EQ(r.Area(), 16);
    EXPECT_EQ(r.GetCenter().x, 3);
    EXPECT_EQ(r.GetUL().y, 5);
    EXPECT_EQ(r.GetLR().x, 5);
    ExpectRegion(KaRegion(KaPoint(1, 3, 0), KaPoint(2, 0, 4)), 0, 0, 3, 4);

    r += 1;
    ExpectRegion(r, 0, 0, 6, 6);
    r -= 2;
    ExpectRegion(r, 2, 2, 4, 4);
    // A difference may come out unsorted; the point test still works on it.
    KaRegion const d = KaRegion(0, 0, 1, 1) - KaRegion(0, 0, 4, 4);
    ExpectRegion(d, 0, 0, -3, -3);
    KaPoint inside(0, -1, -2);
    EXPECT_TRUE(d.Overlap(&inside));
    EXPECT_TRUE(KaRegion(1, 2, 3, 4) + KaRegion(1, 1, 1, 1) == KaRegion(2, 3, 4, 5));
}

TEST(KaRegion, OverlapIntersectAndUnion) {
    KaRegion const unit(0, 0, 1, 1), right(1, 0, 2, 1), far(3, 3, 4, 4);
    // Sharing an edge overlaps, from both sides.
    EXPECT_TRUE(unit.Overlap(&right));
    EXPECT_TRUE(right.Overlap(&unit));
    EXPECT_FALSE(unit.Overlap(&far));
    EXPECT_FALSE(far.Overlap(&unit));
    EXPECT_FALSE(unit.Overlap(static_cast<KaRegion const*>(nullptr)));

    // The touching rule of the interval is not symmetric.
    KaRegion a(unit);
    a.Intersect(right);
    EXPECT_EQ(a.Left(), 0);
    EXPECT_EQ(a.Right(), 0);
    EXPECT_EQ(a.Top(), 1);
    KaRegion b(right);
    b.Intersect(unit);
    EXPECT_EQ(b.Left(), 1);
    EXPECT_EQ(b.Right(), 1);

    KaRegion c(0, 0, 4, 4);
    c.Intersect(KaRegion(3, -1, 5, 2));
    ExpectRegion(c, 3, 0, 4, 2);
    c.Union(far);
    ExpectRegion(c, 3, 0, 4, 4);
}

TEST(KaRegion, UnitConversionAndReading) {
    KaRegion r(1, 2, 3, 4);
    ConvertUnit(&r, KaUnitCM, KaUnitMM);
    ExpectRegion(r, 10, 20, 30, 40);

    // Read takes the corners as they come, without sorting.
    struct Holder : LinkHdl {
        KaRegion region;
        long Read(void* arg) { return region.Read(static_cast<KaReaderObject*>(arg)); }
    } holder;
    std::ostringstream os;
    KaRegion(0.1, -2, 1e6, 7.25).Write(os);
    std::istringstream in("REGION { " + os.str() + " }\nBACK { 9 8 1 2 }");
    KaReader reader(in, "regions");
    KaReaderObject region("REGION", Link(&holder, &Holder::Read));
    reader.RegisterObject(region);
    reader.DoProcess(true);
    EXPECT_EQ(reader.GetReadErrorCount(), 1); // BACK is unknown and skipped
    ExpectRegion(holder.region, 0.1, -2, 1e6, 7.25);

    std::istringstream reversed("REGION { 9 8 1 2 }");
    KaReader second(reversed, "reversed");
    second.RegisterObject(region);
    second.DoProcess(true);
    ExpectRegion(holder.region, 9, 8, 1, 2);
}

TEST(KaIntervall, TouchingRules) {
    double lo = -1, hi = -1;
    KaIntervall(lo, hi, 0, 1, 1, 2); // A ends where B begins: disjoint
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
    KaIntervall(lo, hi, 1, 2, 0, 1); // B ends where A begins: the single value
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 1);
    KaIntervall(lo, hi, 10, 0, 3, 2); // ends in either order, B inside A
    EXPECT_EQ(lo, 2);
    EXPECT_EQ(hi, 3);
    KaIntervall(lo, hi, 0, 5, 3, 8);
    EXPECT_EQ(lo, 3);
    EXPECT_EQ(hi, 5);
    KaIntervall(lo, hi, 6, 8, 0, 5);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
    KaIntervall(lo, hi, 2, 2, 2, 2); // two equal points
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
}

TEST(KaLine, CounterClockwiseAndIntersect) {
    KaPoint const a(0, 0, 0), b(0, 2, 0);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint(0, 1, 1)), 1);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint(0, 1, -1)), -1);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint(0, 1, 0)), 0);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint(0, 2, 0)), 0);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint(0, 3, 0)), 1);
    EXPECT_EQ(CounterClockwise(a, b, KaPoint(0, -1, 0)), -1);

    EXPECT_TRUE(Intersect(KaLine(0, 0, 0, 2, 2, 0), KaLine(0, 2, 0, 2, 0, 0)));  // crossing
    EXPECT_TRUE(Intersect(KaLine(0, 0, 0, 2, 0, 0), KaLine(2, 0, 0, 3, 5, 0)));  // touching at an end
    EXPECT_TRUE(Intersect(KaLine(0, 0, 0, 2, 0, 0), KaLine(1, 0, 0, 1, 3, 0)));  // T junction
    EXPECT_TRUE(Intersect(KaLine(0, 0, 0, 2, 0, 0), KaLine(3, 0, 0, 1, 0, 0)));  // collinear overlap
    EXPECT_FALSE(Intersect(KaLine(0, 0, 0, 1, 0, 0), KaLine(2, 0, 0, 3, 0, 0))); // collinear apart
    EXPECT_FALSE(Intersect(KaLine(0, 0, 0, 1, 1, 0), KaLine(0, 1, 0, 0.4, 0.6 + 1e-9, 0)));

    KaLine l(3, 0, 0, 1, 4, 0);
    l.Adjust();
    EXPECT_EQ(l.start.x, 1);
    KaLine m(1, 4, 0, 3, 0, 0); // x rises but y falls: exchanged too
    m.Adjust();
    EXPECT_EQ(m.start.x, 3);
}
