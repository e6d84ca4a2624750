#include "geometry/KaRegion.h"

#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <ostream>
#include <utility>

namespace {

eKaPointRWMask const CornerColumns[] = {PRW_X, PRW_Y, static_cast<eKaPointRWMask>(0)};

} // namespace

KaRegion::KaRegion(double x1, double y1, double x2, double y2) {
    Set(x1, y1, x2, y2);
}

KaRegion::KaRegion(KaPoint const& a, KaPoint const& b) : m_lowerLeft(a), m_upperRight(b) {
    Sort();
}

void KaRegion::Set(double x1, double y1, double x2, double y2) {
    m_lowerLeft.x = x1;
    m_lowerLeft.y = y1;
    m_upperRight.x = x2;
    m_upperRight.y = y2;
    Sort();
}

void KaRegion::Get(double& left, double& bottom, double& right, double& top) const {
    left = Left();
    bottom = Bottom();
    right = Right();
    top = Top();
}

void KaRegion::Sort() {
    if (m_lowerLeft.x > m_upperRight.x)
        std::swap(m_lowerLeft.x, m_upperRight.x);
    if (m_lowerLeft.y > m_upperRight.y)
        std::swap(m_lowerLeft.y, m_upperRight.y);
}

KaPoint KaRegion::GetUL() const {
    KaPoint p;
    p.x = Left();
    p.y = Top();
    return p;
}

KaPoint KaRegion::GetLR() const {
    KaPoint p;
    p.x = Right();
    p.y = Bottom();
    return p;
}

KaRegion& KaRegion::operator+=(double d) {
    Left() -= d;
    Bottom() -= d;
    Right() += d;
    Top() += d;
    return *this;
}

KaRegion& KaRegion::operator-=(double d) {
    return *this += -d;
}

KaRegion KaRegion::operator+(KaRegion const& b) const {
    KaRegion r(*this);
    r.Left() += b.Left();
    r.Bottom() += b.Bottom();
    r.Right() += b.Right();
    r.Top() += b.Top();
    return r;
}

KaRegion KaRegion::operator-(KaRegion const& b) const {
    KaRegion r(*this);
    r.Left() -= b.Left();
    r.Bottom() -= b.Bottom();
    r.Right() -= b.Right();
    r.Top() -= b.Top();
    return r;
}

bool KaRegion::operator==(KaRegion const& b) const {
    return Left() == b.Left() && Bottom() == b.Bottom() && Right() == b.Right() && Top() == b.Top();
}

bool KaRegion::Overlap(KaRegion const* b) const {
    if (!b)
        return false;
    bool const xs = Left() <= b->Left() ? Right() >= b->Left() : Left() <= b->Right();
    bool const ys = Bottom() <= b->Bottom() ? Top() >= b->Bottom() : Bottom() <= b->Top();
    return xs && ys;
}

bool KaRegion::Overlap(KaPoint const* p) const {
    if (!p)
        return false;
    return std::min(Left(), Right()) <= p->x && p->x <= std::max(Left(), Right()) &&
           std::min(Bottom(), Top()) <= p->y && p->y <= std::max(Bottom(), Top());
}

KaRegion& KaRegion::Intersect(KaRegion const& b) {
    double left = 0, right = 0, bottom = 0, top = 0;
    KaIntervall(left, right, Left(), Right(), b.Left(), b.Right());
    KaIntervall(bottom, top, Bottom(), Top(), b.Bottom(), b.Top());
    Set(left, bottom, right, top);
    return *this;
}

KaRegion& KaRegion::Union(KaRegion const& b) {
    Left() = std::min(Left(), b.Left());
    Bottom() = std::min(Bottom(), b.Bottom());
    Right() = std::max(Right(), b.Right());
    Top() = std::max(Top(), b.Top());
    return *this;
}

int KaRegion::Read(KaReaderObject* object) {
    KaPointFormat const mask(CornerColumns);
    m_lowerLeft.Read(object, mask);
    return m_upperRight.Read(object, mask);
}

void KaRegion::Write(std::ostream& os) const {
    KaPointFormat const mask(CornerColumns);
    m_lowerLeft.Write(os, mask);
    os << Kaendl;
    m_upperRight.Write(os, mask);
}

void ConvertUnit(KaRegion* region, eKaUnit from, eKaUnit to) {
    if (!region)
        return;
    double const f = GetUnitFactor(from) / GetUnitFactor(to);
    MultiplyKaPoint(&region->m_lowerLeft, f);
    MultiplyKaPoint(&region->m_upperRight, f);
}

void KaIntervall(double& lo, double& hi, double a1, double a2, double b1, double b2) {
    struct End {
        double value;
        bool start;
    };
    if (a1 > a2)
        std::swap(a1, a2);
    if (b1 > b2)
        std::swap(b1, b2);
    std::array<End, 4> ends = {{{a1, true}, {a2, false}, {b1, true}, {b2, false}}};
    // Insertion sort: stable, and well-defined even for NaN ends.
    for (std::size_t i = 1; i < ends.size(); ++i)
        for (std::size_t j = i; j > 0 && ends[j].value < ends[j - 1].value; --j)
            std::swap(ends[j], ends[j - 1]);
    if (!ends[1].start && ends[2].start) {
        lo = hi = 0.0;
        return;
    }
    lo = ends[1].value;
    hi = ends[2].value;
}
