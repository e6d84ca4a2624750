#include "rekt/KaRektParallelDef.h"

#include "geometry/KaLine3d.h"
#include "model/KaPointList.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using CT = KaRektDefLineConstraint::ConstraintType;
constexpr CT None = KaRektDefLineConstraint::ConstraintNone;
constexpr CT Parallel = KaRektDefLineConstraint::ConstraintParallel;
constexpr CT Perpendicular = KaRektDefLineConstraint::ConstraintPerpendicular;

KaPointList Points(std::vector<unsigned int> const& ids) {
    KaPointList list;
    for (unsigned int id : ids)
        list.Add(new KaPoint(id, id * 10.0, id * 1.0, 0.5 * id));
    return list;
}

// (first line, second line, type) of every constraint, in order.
std::vector<std::tuple<unsigned, unsigned, int>> Constraints(KaRektParallelDef const& def) {
    std::vector<std::tuple<unsigned, unsigned, int>> out;
    for (auto const* c = def.GetConstraintList().First(); c; c = c->Next())
        out.emplace_back(c->GetLine1(), c->GetLine2(), c->GetType());
    return out;
}

std::string Written(KaRektParallelDef const& def) {
    KaWriterReset();
    std::ostringstream os;
    def.Write(os);
    return os.str();
}

// Reads a "PARALLELDEF { ... }" text into def.
int ReadInto(KaRektParallelDef& def, std::string const& text) {
    std::istringstream in(text);
    KaReader reader(in, "paralleldef.txt");
    KaReaderObject entry("PARALLELDEF", Link(&def, &KaRektParallelDef::Read));
    reader.RegisterObject(entry);
    reader.DoProcess(true);
    return reader.GetReadErrorCount();
}

} // namespace

TEST(KaRektParallelDef, DefLinesNeedTwoDistinctKnownPointsNotYetJoined) {
    KaRektParallelDef orphan;
    EXPECT_FALSE(orphan.IsDefLineValid(1, 2));
    EXPECT_EQ(orphan.MakeDefLine(1, 2), nullptr);
    EXPECT_EQ(orphan.MakeDefLineFromLastTwoBikos(), nullptr);

    KaPointList points = Points({5, 7, 9});
    KaRektParallelDef def(&points);
    EXPECT_EQ(def.MakeDefLine(5, 5), nullptr);
    EXPECT_EQ(def.MakeDefLine(5, 8), nullptr); // 8 is not measured
    KaRektDefLine* first = def.MakeDefLine(5, 7);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetId(), 1u);
    EXPECT_EQ(def.MakeDefLine(7, 5), nullptr); // joined already, other way round
    EXPECT_EQ(def.MakeDefLine(5, 7), nullptr);
    EXPECT_TRUE(def.HasData());

    EXPECT_EQ(def.HasDefLineWithLastBikos(), nullptr);
    KaRektDefLine* last = def.MakeDefLineFromLastTwoBikos();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetBiko1(), 7u);
    EXPECT_EQ(last->GetBiko2(), 9u);
    EXPECT_EQ(last->GetId(), 2u);
    EXPECT_EQ(def.HasDefLineWithLastBikos(), last);
    EXPECT_EQ(def.MakeDefLineFromLastTwoBikos(), nullptr);

    // Numbers continue after the largest one, not in gaps.
    delete def.GetDefLineList().Subtract(first);
    EXPECT_EQ(def.MakeDefLine(5, 9)->GetId(), 3u);

    EXPECT_EQ(def.HasDefLineFromBikos(9, 7, true), last);
    EXPECT_EQ(def.HasDefLineFromBikos(7, 4, true), nullptr);
    EXPECT_EQ(def.HasDefLineFromBikos(7, 4, false), last);
    EXPECT_EQ(def.HasDefLineFromBikos(1, 4, false), nullptr);

    KaPointList one = Points({3});
    KaRektParallelDef single(&one);
    EXPECT_EQ(single.MakeDefLineFromLastTwoBikos(), nullptr);
    EXPECT_EQ(single.HasDefLineWithLastBikos(), nullptr);
}

TEST(KaRektParallelDef, ConstraintsNeedTwoDistinctLinesAndARealType) {
    KaPointList points = Points({1, 2, 3, 4});
    KaRektParallelDef def(&points);
    def.MakeDefLine(1, 2);
    def.MakeDefLine(3, 4);
    def.MakeDefLine(1, 3);

    EXPECT_FALSE(def.IsConstraintDefValid(1, 1, Parallel));
    EXPECT_FALSE(def.IsConstraintDefValid(1, 9, Parallel));
    EXPECT_EQ(def.MakeConstraintDef(1, 2, None), nullptr);

    KaRektDefLineConstraint* parallel = def.MakeConstraintDef(1, 2, Parallel);
    ASSERT_NE(parallel, nullptr);
    EXPECT_EQ(parallel->GetId(), 1u);
    EXPECT_EQ(parallel->GetValue(), 0.0);
    EXPECT_FALSE(def.IsConstraintDefValid(2, 1, Parallel));
    EXPECT_FALSE(def.IsConstraintDefValid(2, 1, None)); // any type joins them
    EXPECT_TRUE(def.IsConstraintDefValid(2, 1, Perpendicular));

    EXPECT_EQ(def.HasConstraintDef(2, 1, true, None), parallel);
    EXPECT_EQ(def.HasConstraintDef(2, 1, true, Perpendicular), nullptr);
    EXPECT_EQ(def.HasConstraintDef(2, 7, false, Parallel), parallel);
    EXPECT_EQ(def.HasConstraintDef(3, 7, false, None), nullptr);

    // The last two lines are 2 and 3.
    EXPECT_EQ(def.HasConstraintDefFromLastTwoLines(None), nullptr);
    KaRektDefLineConstraint* last = def.MakeConstraintDefFromLastTwoDefLines(Perpendicular);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(std::make_pair(last->GetLine1(), last->GetLine2()), std::make_pair(2u, 3u));
    EXPECT_EQ(last->GetId(), 2u);
    EXPECT_EQ(def.HasConstraintDefFromLastTwoLines(Perpendicular), last);
    EXPECT_EQ(def.MakeConstraintDefFromLastTwoDefLines(Perpendicular), nullptr);

    KaRektDefLineConstraint c(0, 4, 5, Perpendicular);
    EXPECT_TRUE(c.IsValid());
    EXPECT_FALSE(c.IsParallel());
    EXPECT_TRUE(c.IsConstraint(None));
    EXPECT_FALSE(c.IsConstraint(Parallel));
    EXPECT_TRUE(c.HasBothId(5, 4));
    EXPECT_FALSE(c.HasBothId(4, 4));
    EXPECT_TRUE(c.HasEitherId(1, 5));
    EXPECT_FALSE(KaRektDefLineConstraint().IsValid());
}

TEST(KaRektParallelDef, TwoParallelsInARowGainFourPerpendiculars) {
    KaPointList points = Points({1, 2, 3, 4, 5, 6, 7, 8});
    KaRektParallelDef def(&points);
    EXPECT_FALSE(def.MakeLastTwoParallelConstraintsPerpendicular());
    for (unsigned int p = 1; p < 8; p += 2)
        def.MakeDefLine(p, p + 1); // lines 1..4
    def.MakeConstraintDef(1, 2, Parallel);
    EXPECT_FALSE(def.MakeLastTwoParallelConstraintsPerpendicular()); // only one constraint
    def.MakeConstraintDef(3, 4, Parallel);

    EXPECT_TRUE(def.MakeLastTwoParallelConstraintsPerpendicular());
    using C = std::tuple<unsigned, unsigned, int>;
    EXPECT_EQ(Constraints(def),
              (std::vector<C>{{1, 2, 1}, {3, 4, 1}, {1, 3, 2}, {1, 4, 2}, {2, 3, 2}, {2, 4, 2}}));
    EXPECT_EQ(def.GetConstraintList().Last()->GetId(), 6u);
    // The last two are perpendicular now.
    EXPECT_FALSE(def.MakeLastTwoParallelConstraintsPerpendicular());

    // Sharing a line: the attempt from the shared line to itself is refused.
    KaRektParallelDef shared(&points);
    for (unsigned int p = 1; p < 6; p += 2)
        shared.MakeDefLine(p, p + 1); // lines 1..3
    shared.MakeConstraintDef(1, 2, Parallel);
    shared.MakeConstraintDef(2, 3, Parallel);
    EXPECT_TRUE(shared.MakeLastTwoParallelConstraintsPerpendicular());
    EXPECT_EQ(Constraints(shared), (std::vector<C>{{1, 2, 1}, {2, 3, 1}, {1, 2, 2}, {1, 3, 2}, {2, 3, 2}}));
}

TEST(KaRektParallelDef, CheckAndRepairDropsLinesAndConstraintsThatLostTheirEnds) {
    KaPointList points = Points({1, 2, 3, 4});
    KaRektParallelDef def(&points);
    def.MakeDefLine(1, 2); // 1
    def.MakeDefLine(3, 4); // 2
    def.MakeDefLine(1, 3); // 3
    def.MakeConstraintDef(1, 2, Parallel);
    def.MakeConstraintDef(1, 3, Perpendicular);
    def.MakeConstraintDef(2, 3, Perpendicular);
    EXPECT_EQ(def.CheckAndRepair(), 0);

    delete points.Subtract(4u);
    EXPECT_EQ(def.CheckAndRepair(), 3); // line 2 and the two constraints on it
    ASSERT_EQ(def.GetDefLineList().Count(), 2);
    EXPECT_EQ(def.GetDefLineList().Find(2u), nullptr);
    using C = std::tuple<unsigned, unsigned, int>;
    EXPECT_EQ(Constraints(def), (std::vector<C>{{1, 3, 2}}));

    KaRektParallelDef orphan(def);
    orphan.SetPointList(nullptr);
    EXPECT_EQ(orphan.CheckAndRepair(), 0);
    EXPECT_EQ(orphan.GetDefLineList().Count(), 2);

    def.Clear();
    EXPECT_FALSE(def.HasData());
    EXPECT_TRUE(def.GetConstraintList().IsEmpty());
}

TEST(KaRektParallelDef, LinesAndConstraintLinesComeFromThePoints) {
    KaPointList points = Points({1, 2, 3, 4});
    KaRektParallelDef def(&points);
    KaRektDefLine* a = def.MakeDefLine(1, 2);
    KaRektDefLine* b = def.MakeDefLine(4, 3);
    KaRektDefLineConstraint* c = def.MakeConstraintDef(1, 2, Parallel);

    KaPoint p1, p2;
    ASSERT_TRUE(def.GetLine(p1, p2, b));
    EXPECT_EQ(p1.GetId(), 4u);
    EXPECT_EQ(p2.x, 30.0);

    KaLine3d line;
    ASSERT_TRUE(def.GetLine(line, a));
    EXPECT_DOUBLE_EQ(line.getLength(), points.Find(1u)->Distance(*points.Find(2u)));

    ASSERT_TRUE(def.GetConstraintLine(p1, p2, c));
    EXPECT_DOUBLE_EQ(p1.x, 15.0);
    EXPECT_DOUBLE_EQ(p1.y, 1.5);
    EXPECT_DOUBLE_EQ(p1.z, 0.75);
    EXPECT_DOUBLE_EQ(p2.x, 35.0);

    EXPECT_FALSE(def.HasXAxisDef());
    b->SetXAxis(1);
    EXPECT_TRUE(def.HasXAxisDef());

    delete points.Subtract(3u);
    EXPECT_FALSE(def.GetLine(p1, p2, b));
    EXPECT_FALSE(def.GetLine(line, b));
    EXPECT_FALSE(def.GetConstraintLine(p1, p2, c));
    EXPECT_FALSE(def.GetLine(p1, p2, nullptr));
    EXPECT_FALSE(def.GetConstraintLine(p1, p2, nullptr));
}

TEST(KaRektParallelDef, WritesAndReadsItsLines) {
    KaPointList points = Points({1, 2, 3, 4});
    KaRektParallelDef def(&points);
    def.MakeDefLine(1, 2)->SetValue(12.5);
    def.MakeDefLine(3, 4)->SetXAxis(1);
    def.MakeConstraintDef(1, 2, Perpendicular)->SetValue(0.125);

    std::string const text = Written(def);
    // Each integer a blank and a column of ten, the values a blank apart.
    EXPECT_EQ(text, "DEFLINE      {          1           1           2           0 12.5}\n"
                    "DEFLINE      {          2           3           4           1 0}\n"
                    "CONSTRAINT   {          1           2           2 0.125}");

    KaPointList other = Points({9});
    KaRektParallelDef read(&other);
    read.MakeDefLine(9, 9); // nothing: stays empty
    read.GetDefLineList().Add(new KaRektDefLine(7, 9, 9));
    EXPECT_EQ(ReadInto(read, "PARALLELDEF\n{\n" + text + "\n}\n"), 0);
    EXPECT_EQ(read.GetDefLineList().Count(), 2); // replaced, not added
    EXPECT_EQ(read.GetConstraintList().First()->GetId(), 0u);
    EXPECT_EQ(read.GetConstraintList().First()->GetValue(), 0.125);
    EXPECT_TRUE(read.HasXAxisDef());
    EXPECT_EQ(read.GetPointList(), &other);
    EXPECT_EQ(Written(read), text);

    // Unknown constraint codes read as no constraint; an empty block reads empty.
    KaRektParallelDef odd;
    EXPECT_EQ(ReadInto(odd, "PARALLELDEF { CONSTRAINT { 1 2 9 0 } }"), 0);
    EXPECT_FALSE(odd.GetConstraintList().First()->IsValid());
    EXPECT_EQ(ReadInto(odd, "PARALLELDEF { }"), 0);
    EXPECT_TRUE(odd.GetConstraintList().IsEmpty());
}

TEST(KaRektParallelDef, CopiesKeepOrTakeThePointList) {
    KaPointList a = Points({1, 2}), b = Points({1, 2});
    KaRektParallelDef def(&a);
    def.MakeDefLine(1, 2);
    KaRektParallelDef copy(def);
    EXPECT_EQ(copy.GetPointList(), &a);
    EXPECT_EQ(copy.GetDefLineList().Count(), 1);
    KaRektParallelDef assigned(&b);
    assigned = def;
    EXPECT_EQ(assigned.GetPointList(), &b);
    EXPECT_EQ(assigned.GetDefLineList().Count(), 1);
    EXPECT_NE(assigned.GetDefLineList().First(), def.GetDefLineList().First());
}
