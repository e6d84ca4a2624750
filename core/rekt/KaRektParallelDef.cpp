#include "rekt/KaRektParallelDef.h"

#include "geometry/KaLine3d.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <memory>
#include <ostream>

namespace {

// A type read from a file; unknown codes become "no constraint".
KaRektDefLineConstraint::ConstraintType ToConstraintType(int code) {
    switch (code) {
    case KaRektDefLineConstraint::ConstraintParallel:
        return KaRektDefLineConstraint::ConstraintParallel;
    case KaRektDefLineConstraint::ConstraintPerpendicular:
        return KaRektDefLineConstraint::ConstraintPerpendicular;
    default:
        return KaRektDefLineConstraint::ConstraintNone;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// KaRektDefLine

KaRektDefLine::KaRektDefLine(unsigned int id, unsigned int biko1, unsigned int biko2, int xAxis, double value)
    : KaListnode(id), m_biko1(biko1), m_biko2(biko2), m_xAxis(xAxis), m_value(value) {}

KaRektDefLine::~KaRektDefLine() = default;

int KaRektDefLine::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    auto const id = static_cast<unsigned int>(in.GetInt());
    auto const biko1 = static_cast<unsigned int>(in.GetInt());
    auto const biko2 = static_cast<unsigned int>(in.GetInt());
    int const xAxis = in.GetInt();
    double const value = in.GetNumber();
    SetId(id);
    m_biko1 = biko1;
    m_biko2 = biko2;
    m_xAxis = xAxis;
    m_value = value;
    return 1;
}

void KaRektDefLine::Write(std::ostream& os) const {
    os << s12 << "DEFLINE" << ' ' << KaBeginBlock << w8 << GetId() << ' ' << w8 << m_biko1 << ' ' << w8
       << m_biko2 << ' ' << w8 << m_xAxis << ' ' << p16 << m_value << KaEndBlock;
}

// ---------------------------------------------------------------------------
// KaRektDefLineConstraint

KaRektDefLineConstraint::KaRektDefLineConstraint(unsigned int id, unsigned int line1, unsigned int line2,
                                                 ConstraintType type, double value)
    : KaListnode(id), m_line1(line1), m_line2(line2), m_type(type), m_value(value) {}

KaRektDefLineConstraint::~KaRektDefLineConstraint() = default;

int KaRektDefLineConstraint::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    auto const line1 = static_cast<unsigned int>(in.GetInt());
    auto const line2 = static_cast<unsigned int>(in.GetInt());
    int const type = in.GetInt();
    double const value = in.GetNumber();
    m_line1 = line1;
    m_line2 = line2;
    m_type = ToConstraintType(type);
    m_value = value;
    return 1;
}

void KaRektDefLineConstraint::Write(std::ostream& os) const {
    os << s12 << "CONSTRAINT" << ' ' << KaBeginBlock << w8 << m_line1 << ' ' << w8 << m_line2 << ' ' << w8
       << static_cast<int>(m_type) << ' ' << p16 << m_value << KaEndBlock;
}

// ---------------------------------------------------------------------------
// Lists

KaRektDefLineList& KaRektDefLineList::operator=(KaRektDefLineList const& other) {
    TKaListHeader<KaRektDefLine>::operator=(other);
    return *this;
}

KaRektDefLineList::~KaRektDefLineList() = default;

KaRektDefLineConstraintList&
KaRektDefLineConstraintList::operator=(KaRektDefLineConstraintList const& other) {
    TKaListHeader<KaRektDefLineConstraint>::operator=(other);
    return *this;
}

KaRektDefLineConstraintList::~KaRektDefLineConstraintList() = default;

// ---------------------------------------------------------------------------
// KaRektParallelDef

KaRektParallelDef::KaRektParallelDef(KaPointList* points) : m_points(points) {}

KaRektParallelDef::KaRektParallelDef(KaRektParallelDef const& other)
    : m_points(other.m_points), m_lines(other.m_lines), m_constraints(other.m_constraints) {}

KaRektParallelDef& KaRektParallelDef::operator=(KaRektParallelDef const& other) {
    if (this != &other) {
        m_lines = other.m_lines;
        m_constraints = other.m_constraints;
    }
    return *this;
}

KaRektParallelDef::~KaRektParallelDef() = default;

void KaRektParallelDef::Clear() {
    m_constraints.Destroy();
    m_lines.Destroy();
}

bool KaRektParallelDef::HasBiko(unsigned int n) const {
    return m_points && m_points->Find(n) != nullptr;
}

bool KaRektParallelDef::GetLine(KaPoint& p1, KaPoint& p2, KaRektDefLine const* line) const {
    if (!line || !m_points)
        return false;
    KaPoint const* a = m_points->Find(line->GetBiko1());
    KaPoint const* b = m_points->Find(line->GetBiko2());
    if (!a || !b)
        return false;
    p1 = *a;
    p2 = *b;
    return true;
}

bool KaRektParallelDef::GetLine(KaLine3d& out, KaRektDefLine const* line) const {
    KaPoint a, b;
    if (!GetLine(a, b, line))
        return false;
    out = KaLine3d(KaPoint3d(a.x, a.y, a.z), KaPoint3d(b.x, b.y, b.z));
    return true;
}

bool KaRektParallelDef::GetConstraintLine(KaPoint& p1, KaPoint& p2,
                                          KaRektDefLineConstraint const* constraint) const {
    if (!constraint)
        return false;
    KaPoint a1, a2, b1, b2;
    if (!GetLine(a1, a2, m_lines.Find(constraint->GetLine1())) ||
        !GetLine(b1, b2, m_lines.Find(constraint->GetLine2())))
        return false;
    p1 = a1 % a2;
    p2 = b1 % b2;
    return true;
}

KaRektDefLine* KaRektParallelDef::HasDefLineFromBikos(unsigned int a, unsigned int b, bool both) const {
    for (KaRektDefLine* line = m_lines.First(); line; line = line->Next())
        if (both ? line->HasBothBikos(a, b) : line->HasEitherBiko(a, b))
            return line;
    return nullptr;
}

KaRektDefLine* KaRektParallelDef::HasDefLineWithLastBikos() const {
    KaPoint const* last = m_points ? m_points->Last() : nullptr;
    KaPoint const* beforeLast = last ? last->Previous() : nullptr;
    if (!beforeLast)
        return nullptr;
    return HasDefLineFromBikos(beforeLast->GetId(), last->GetId(), true);
}

bool KaRektParallelDef::IsDefLineValid(unsigned int a, unsigned int b) const {
    return m_points && a != b && HasBiko(a) && HasBiko(b) && !HasDefLineFromBikos(a, b, true);
}

KaRektDefLine* KaRektParallelDef::MakeDefLine(unsigned int a, unsigned int b) {
    if (!IsDefLineValid(a, b))
        return nullptr;
    return m_lines.Add(new KaRektDefLine(m_lines.GetFreeId(0), a, b));
}

KaRektDefLine* KaRektParallelDef::MakeDefLineFromLastTwoBikos() {
    KaPoint const* last = m_points ? m_points->Last() : nullptr;
    KaPoint const* beforeLast = last ? last->Previous() : nullptr;
    if (!beforeLast)
        return nullptr;
    return MakeDefLine(beforeLast->GetId(), last->GetId());
}

KaRektDefLineConstraint* KaRektParallelDef::HasConstraintDef(unsigned int l1, unsigned int l2, bool both,
                                                             ConstraintType type) const {
    for (KaRektDefLineConstraint* c = m_constraints.First(); c; c = c->Next()) {
        if (!c->IsConstraint(type))
            continue;
        if (both ? c->HasBothId(l1, l2) : c->HasEitherId(l1, l2))
            return c;
    }
    return nullptr;
}

KaRektDefLineConstraint* KaRektParallelDef::HasConstraintDefFromLastTwoLines(ConstraintType type) const {
    KaRektDefLine const* last = m_lines.Last();
    KaRektDefLine const* beforeLast = last ? last->Previous() : nullptr;
    if (!beforeLast)
        return nullptr;
    return HasConstraintDef(beforeLast->GetId(), last->GetId(), true, type);
}

bool KaRektParallelDef::IsConstraintDefValid(unsigned int l1, unsigned int l2, ConstraintType type) const {
    return l1 != l2 && m_lines.Find(l1) && m_lines.Find(l2) && !HasConstraintDef(l1, l2, true, type);
}

KaRektDefLineConstraint* KaRektParallelDef::MakeConstraintDef(unsigned int l1, unsigned int l2,
                                                              ConstraintType type) {
    // A constraint without a type constrains nothing.
    if (type != KaRektDefLineConstraint::ConstraintParallel &&
        type != KaRektDefLineConstraint::ConstraintPerpendicular)
        return nullptr;
    if (!IsConstraintDefValid(l1, l2, type))
        return nullptr;
    return m_constraints.Add(new KaRektDefLineConstraint(m_constraints.GetFreeId(0), l1, l2, type, 0.0));
}

KaRektDefLineConstraint* KaRektParallelDef::MakeConstraintDefFromLastTwoDefLines(ConstraintType type) {
    KaRektDefLine const* last = m_lines.Last();
    KaRektDefLine const* beforeLast = last ? last->Previous() : nullptr;
    if (!beforeLast)
        return nullptr;
    return MakeConstraintDef(beforeLast->GetId(), last->GetId(), type);
}

bool KaRektParallelDef::MakeLastTwoParallelConstraintsPerpendicular() {
    KaRektDefLineConstraint const* last = m_constraints.Last();
    KaRektDefLineConstraint const* beforeLast = last ? last->Previous() : nullptr;
    if (!beforeLast || !beforeLast->IsParallel() || !last->IsParallel())
        return false;
    // Read the line numbers first: the constraints added below go after these two.
    unsigned int const from[2] = {beforeLast->GetLine1(), beforeLast->GetLine2()};
    unsigned int const to[2] = {last->GetLine1(), last->GetLine2()};
    for (unsigned int a : from)
        for (unsigned int b : to)
            MakeConstraintDef(a, b, KaRektDefLineConstraint::ConstraintPerpendicular);
    return true;
}

bool KaRektParallelDef::HasXAxisDef() const {
    for (KaRektDefLine const* line = m_lines.First(); line; line = line->Next())
        if (line->IsXAxis())
            return true;
    return false;
}

int KaRektParallelDef::CheckAndRepair() {
    if (!m_points)
        return 0;
    int removed = 0;
    for (KaRektDefLine* line = m_lines.First(); line;) {
        KaRektDefLine* next = line->Next();
        if (!HasBiko(line->GetBiko1()) || !HasBiko(line->GetBiko2())) {
            delete m_lines.Subtract(line);
            ++removed;
        }
        line = next;
    }
    for (KaRektDefLineConstraint* c = m_constraints.First(); c;) {
        KaRektDefLineConstraint* next = c->Next();
        if (!m_lines.Find(c->GetLine1()) || !m_lines.Find(c->GetLine2())) {
            delete m_constraints.Subtract(c);
            ++removed;
        }
        c = next;
    }
    return removed;
}

int KaRektParallelDef::AddDefLine(KaReaderObject* object) {
    auto line = std::make_unique<KaRektDefLine>();
    line->Read(object);
    m_lines.Add(line.release());
    return 1;
}

int KaRektParallelDef::AddConstraint(KaReaderObject* object) {
    auto constraint = std::make_unique<KaRektDefLineConstraint>();
    constraint->Read(object);
    m_constraints.Add(constraint.release());
    return 1;
}

int KaRektParallelDef::Read(KaReaderObject* object) {
    Clear();
    KaReaderObject lines("DEFLINE", Link(this, &KaRektParallelDef::AddDefLine));
    KaReaderObject constraints("CONSTRAINT", Link(this, &KaRektParallelDef::AddConstraint));
    object->RegisterObject(lines);
    object->RegisterObject(constraints);
    object->DoProcess();
    return 1;
}

void KaRektParallelDef::Write(std::ostream& os) const {
    bool first = true;
    auto separate = [&] {
        if (!first)
            os << Kaendl;
        first = false;
    };
    for (KaRektDefLine const* line = m_lines.First(); line; line = line->Next()) {
        separate();
        line->Write(os);
    }
    for (KaRektDefLineConstraint const* c = m_constraints.First(); c; c = c->Next()) {
        separate();
        c->Write(os);
    }
}
