#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"

#include <iosfwd>

class KaLine3d;
class KaPoint;
class KaPointList;
class KaReaderObject;

// A line between two measured points of a rectification definition. The
// identifier is the line number.
class TARVIS_API KaRektDefLine : public KaListnode {
public:
    KaRektDefLine() = default;
    KaRektDefLine(unsigned int id, unsigned int biko1, unsigned int biko2, int xAxis = 0, double value = 0.0);
    KaRektDefLine(KaRektDefLine const& other) = default;
    KaRektDefLine& operator=(KaRektDefLine const& other) = default;
    ~KaRektDefLine() override;

    unsigned int GetBiko1() const { return m_biko1; }
    unsigned int GetBiko2() const { return m_biko2; }
    void SetBikos(unsigned int biko1, unsigned int biko2) {
        m_biko1 = biko1;
        m_biko2 = biko2;
    }
    // Non-zero marks the line that fixes the x axis.
    int GetXAxis() const { return m_xAxis; }
    void SetXAxis(int xAxis) { m_xAxis = xAxis; }
    bool IsXAxis() const { return m_xAxis != 0; }
    double GetValue() const { return m_value; }
    void SetValue(double value) { m_value = value; }

    // One end is the point numbered n.
    bool HasBiko(unsigned int n) const { return m_biko1 == n || m_biko2 == n; }
    // The line joins a and b, in either order.
    bool HasBothBikos(unsigned int a, unsigned int b) const {
        return (m_biko1 == a && m_biko2 == b) || (m_biko1 == b && m_biko2 == a);
    }
    bool HasEitherBiko(unsigned int a, unsigned int b) const { return HasBiko(a) || HasBiko(b); }

    // A reader handler: line number, both point numbers, x-axis flag and value.
    int Read(KaReaderObject* object);
    // "DEFLINE" in a field of 12 and the five values in braces, on one line.
    void Write(std::ostream& os) const;

    KaRektDefLine* Next() const { return static_cast<KaRektDefLine*>(KaListnode::Next()); }
    KaRektDefLine* Previous() const { return static_cast<KaRektDefLine*>(KaListnode::Previous()); }

private:
    unsigned int m_biko1 = 0;
    unsigned int m_biko2 = 0;
    int m_xAxis = 0;
    double m_value = 0.0;
};

// A relation between two definition lines.
class TARVIS_API KaRektDefLineConstraint : public KaListnode {
public:
    enum ConstraintType { ConstraintNone = 0, ConstraintParallel = 1, ConstraintPerpendicular = 2 };

    KaRektDefLineConstraint() = default;
    KaRektDefLineConstraint(unsigned int id, unsigned int line1, unsigned int line2, ConstraintType type,
                            double value = 0.0);
    KaRektDefLineConstraint(KaRektDefLineConstraint const& other) = default;
    KaRektDefLineConstraint& operator=(KaRektDefLineConstraint const& other) = default;
    ~KaRektDefLineConstraint() override;

    unsigned int GetLine1() const { return m_line1; }
    unsigned int GetLine2() const { return m_line2; }
    void SetLines(unsigned int line1, unsigned int line2) {
        m_line1 = line1;
        m_line2 = line2;
    }
    ConstraintType GetType() const { return m_type; }
    void SetType(ConstraintType type) { m_type = type; }
    double GetValue() const { return m_value; }
    void SetValue(double value) { m_value = value; }

    bool IsValid() const { return m_type != ConstraintNone; }
    bool IsParallel() const { return m_type == ConstraintParallel; }
    // True for ConstraintNone (any type) or this constraint's own type.
    bool IsConstraint(ConstraintType type) const { return type == ConstraintNone || type == m_type; }
    bool HasId(unsigned int line) const { return m_line1 == line || m_line2 == line; }
    // Joins lines a and b, in either order.
    bool HasBothId(unsigned int a, unsigned int b) const {
        return (m_line1 == a && m_line2 == b) || (m_line1 == b && m_line2 == a);
    }
    bool HasEitherId(unsigned int a, unsigned int b) const { return HasId(a) || HasId(b); }

    // A reader handler: both line numbers, type and value. The number stays 0.
    int Read(KaReaderObject* object);
    // "CONSTRAINT" in a field of 12 and the four values in braces, on one line.
    void Write(std::ostream& os) const;

    KaRektDefLineConstraint* Next() const {
        return static_cast<KaRektDefLineConstraint*>(KaListnode::Next());
    }
    KaRektDefLineConstraint* Previous() const {
        return static_cast<KaRektDefLineConstraint*>(KaListnode::Previous());
    }

private:
    unsigned int m_line1 = 0;
    unsigned int m_line2 = 0;
    ConstraintType m_type = ConstraintNone;
    double m_value = 0.0;
};

class TARVIS_API KaRektDefLineList : public TKaListHeader<KaRektDefLine> {
public:
    KaRektDefLineList() = default;
    KaRektDefLineList(KaRektDefLineList const& other) = default;
    using TKaListHeader<KaRektDefLine>::operator=;
    KaRektDefLineList& operator=(KaRektDefLineList const& other);
    ~KaRektDefLineList() override;
};

class TARVIS_API KaRektDefLineConstraintList : public TKaListHeader<KaRektDefLineConstraint> {
public:
    KaRektDefLineConstraintList() = default;
    KaRektDefLineConstraintList(KaRektDefLineConstraintList const& other) = default;
    using TKaListHeader<KaRektDefLineConstraint>::operator=;
    KaRektDefLineConstraintList& operator=(KaRektDefLineConstraintList const& other);
    ~KaRektDefLineConstraintList() override;
};

// The definition of a rectification by lines between measured points and by
// constraints (parallel, perpendicular) between those lines. The point list the
// lines refer to is not owned.
class TARVIS_API KaRektParallelDef {
public:
    using ConstraintType = KaRektDefLineConstraint::ConstraintType;

    explicit KaRektParallelDef(KaPointList* points = nullptr);
    // Copies lines, constraints and the point-list pointer.
    KaRektParallelDef(KaRektParallelDef const& other);
    // Copies lines and constraints; the point list stays.
    KaRektParallelDef& operator=(KaRektParallelDef const& other);
    virtual ~KaRektParallelDef();

    KaPointList* GetPointList() const { return m_points; }
    void SetPointList(KaPointList* points) { m_points = points; }
    KaRektDefLineList& GetDefLineList() { return m_lines; }
    KaRektDefLineList const& GetDefLineList() const { return m_lines; }
    KaRektDefLineConstraintList& GetConstraintList() { return m_constraints; }
    KaRektDefLineConstraintList const& GetConstraintList() const { return m_constraints; }

    // At least one line.
    bool HasData() const { return !m_lines.IsEmpty(); }
    // Deletes all lines and constraints.
    void Clear();

    // The two points of a line; false when the line or a point is missing.
    bool GetLine(KaPoint& p1, KaPoint& p2, KaRektDefLine const* line) const;
    bool GetLine(KaLine3d& out, KaRektDefLine const* line) const;
    // The midpoints of the constraint's two lines; false when a line or a point is missing.
    bool GetConstraintLine(KaPoint& p1, KaPoint& p2, KaRektDefLineConstraint const* constraint) const;

    // With both: the first line joining a and b; else the first line touching a or b.
    KaRektDefLine* HasDefLineFromBikos(unsigned int a, unsigned int b, bool both) const;
    // The line joining the last two points of the point list, if any.
    KaRektDefLine* HasDefLineWithLastBikos() const;
    // A point list exists, a != b, both points are in it, and no line joins them yet.
    bool IsDefLineValid(unsigned int a, unsigned int b) const;
    // Appends the line (a, b) numbered with the first free line number; null when not valid.
    KaRektDefLine* MakeDefLine(unsigned int a, unsigned int b);
    // The line from the point before last to the last point of the point list.
    KaRektDefLine* MakeDefLineFromLastTwoBikos();

    // With both: the first constraint of the type (any type for ConstraintNone)
    // joining l1 and l2; else the first one of the type touching l1 or l2.
    KaRektDefLineConstraint* HasConstraintDef(unsigned int l1, unsigned int l2, bool both,
                                              ConstraintType type) const;
    // The constraint of the type joining the last two lines, if any.
    KaRektDefLineConstraint* HasConstraintDefFromLastTwoLines(ConstraintType type) const;
    // l1 != l2, both lines exist, and no constraint of the type (any type for
    // ConstraintNone) joins them yet.
    bool IsConstraintDefValid(unsigned int l1, unsigned int l2, ConstraintType type) const;
    // Appends the constraint (l1, l2, type, 0.0) numbered with the first free
    // number; null when not valid or when type is neither parallel nor perpendicular.
    KaRektDefLineConstraint* MakeConstraintDef(unsigned int l1, unsigned int l2, ConstraintType type);
    KaRektDefLineConstraint* MakeConstraintDefFromLastTwoDefLines(ConstraintType type);
    // When the last two constraints are both parallel: perpendicular constraints
    // from each line of the one before last to each line of the last (each one
    // only when valid). False when there are not two such constraints.
    bool MakeLastTwoParallelConstraintsPerpendicular();

    // Some line carries the x-axis flag.
    bool HasXAxisDef() const;
    // Deletes the lines whose points are not both in the point list, then the
    // constraints whose lines are not both in the line list. Nothing happens
    // without a point list. Returns the number of lines and constraints deleted.
    int CheckAndRepair();

    // A reader handler for the block of "DEFLINE" and "CONSTRAINT" lines; the
    // lines and constraints held before are replaced.
    int Read(KaReaderObject* object);
    // One "DEFLINE" line per line, then one "CONSTRAINT" line per constraint,
    // separated by line ends (none after the last).
    void Write(std::ostream& os) const;

private:
    int AddDefLine(KaReaderObject* object);
    int AddConstraint(KaReaderObject* object);
    bool HasBiko(unsigned int n) const;

    KaPointList* m_points = nullptr;
    KaRektDefLineList m_lines;
    KaRektDefLineConstraintList m_constraints;
};
