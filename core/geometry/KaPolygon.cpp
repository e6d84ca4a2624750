#include "geometry/KaPolygon.h"

#include "geometry/KaLine.h"
#include "textio/KaReader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace {

constexpr eKaPointRWMask End = static_cast<eKaPointRWMask>(0);
eKaPointRWMask const ColumnsXY[] = {PRW_X, PRW_Y, End};
eKaPointRWMask const ColumnsNrXY[] = {PRW_NUMBER, PRW_X, PRW_Y, End};
eKaPointRWMask const ColumnsXYZ[] = {PRW_X, PRW_Y, PRW_Z, End};
eKaPointRWMask const ColumnsNrXYZ[] = {PRW_NUMBER, PRW_X, PRW_Y, PRW_Z, End};

// The file columns of a mode; null for modes without their own columns.
eKaPointRWMask const* ModeColumns(KAPolygonMode mode) {
    switch (mode) {
    case KaPolygonXY:
        return ColumnsXY;
    case KaPolygonNrXY:
        return ColumnsNrXY;
    case KaPolygonXYZ:
        return ColumnsXYZ;
    case KaPolygonNrXYZ:
        return ColumnsNrXYZ;
    }
    return nullptr;
}

bool IsPlanar(KAPolygonMode mode) {
    return mode == KaPolygonXY || mode == KaPolygonNrXY;
}

} // namespace

KaPolygon::KaPolygon(KAPolygonMode mode_) : mode(mode_) {}

KaPolygon::KaPolygon(KaPoint const& a, KaPoint const& b, KAPolygonMode mode_) : mode(mode_) {
    MakePolygon(a, b);
}

KaPolygon::KaPolygon(KaPointList const* list, KAPolygonMode mode_) : mode(mode_) {
    AddPoint(list);
}

KaPolygon::KaPolygon(KaRegion const& region) : mode(KaPolygonXY) {
    MakePolygon(region.GetLL(), region.GetUR());
}

KaPolygon::KaPolygon(KaPolygon const& other)
    : mode(other.mode), minCorner(other.minCorner), maxCorner(other.maxCorner), points(other.points) {}

KaPolygon& KaPolygon::operator=(KaPolygon const& other) {
    if (this != &other) {
        mode = other.mode;
        minCorner = other.minCorner;
        maxCorner = other.maxCorner;
        points = other.points;
    }
    return *this;
}

KaPolygon::~KaPolygon() = default;

void KaPolygon::MakePolygon(KaPoint const& a, KaPoint const& b) {
    minCorner = a;
    maxCorner = b;
    UpdateMinMax(a);
    UpdateMinMax(b);
    double const xs[4] = {minCorner.x, maxCorner.x, maxCorner.x, minCorner.x};
    double const ys[4] = {minCorner.y, minCorner.y, maxCorner.y, maxCorner.y};
    for (int i = 0; i < 4; ++i)
        points.Add(new KaPoint(0, xs[i], ys[i], 0.0));
    points.Renumber(1, nullptr, 1);
}

bool KaPolygon::AddPoint(KaPoint const& p) {
    if (points.IsEmpty()) {
        minCorner = p;
        maxCorner = p;
    } else {
        UpdateMinMax(p);
    }
    points.Add(p);
    return true;
}

bool KaPolygon::AddPoint(KaPointList const* list) {
    if (list)
        for (KaPoint const* p = list->First(); p; p = p->Next())
            AddPoint(*p);
    return true;
}

void KaPolygon::UpdateMinMax(KaPoint const& p) {
    minCorner.x = std::min(minCorner.x, p.x);
    minCorner.y = std::min(minCorner.y, p.y);
    minCorner.z = std::min(minCorner.z, p.z);
    maxCorner.x = std::max(maxCorner.x, p.x);
    maxCorner.y = std::max(maxCorner.y, p.y);
    maxCorner.z = std::max(maxCorner.z, p.z);
}

void KaPolygon::UpdateMinMax() {
    KaPoint const* p = points.First();
    if (!p)
        return;
    minCorner = *p;
    maxCorner = *p;
    for (; p; p = p->Next())
        UpdateMinMax(*p);
}

double KaPolygon::Boxvol() const {
    return IsPlanar(mode) ? Width() * Height() : Width() * Height() * Deep();
}

bool KaPolygon::IsInBox(KaPoint const& p) const {
    bool const planar = minCorner.x <= p.x && p.x <= maxCorner.x && minCorner.y <= p.y && p.y <= maxCorner.y;
    if (IsPlanar(mode))
        return planar;
    if (mode == KaPolygonXYZ || mode == KaPolygonNrXYZ)
        return planar && minCorner.z <= p.z && p.z <= maxCorner.z;
    return false;
}

bool KaPolygon::Overlap(KaPoint const& p) const {
    if (!IsInBox(p))
        return false;
    if (!IsPlanar(mode))
        return true;
    std::vector<KaPoint const*> v;
    for (KaPoint const* q = points.First(); q; q = q->Next())
        v.push_back(q);
    if (v.empty())
        return true;

    // A horizontal ray from p to beyond the right of the box; edge i runs from
    // vertex i to vertex i + 1. An edge meeting the ray counts as a crossing.
    double const xr = std::fabs(2.0 * (maxCorner.x - minCorner.x)) + std::fabs(maxCorner.x);
    KaLine const ray(p.x, p.y, 0.0, xr, p.y, 0.0);
    std::size_t const n = v.size();
    auto next = [n](std::size_t i) { return (i + 1) % n; };
    auto prev = [n](std::size_t i) { return (i + n - 1) % n; };
    auto onLine = [&](std::size_t i) { return v[i]->y == p.y; };
    auto onRay = [&](std::size_t i) { return v[i]->y == p.y && v[i]->x > p.x && v[i]->x <= xr; };

    // Where the outline reaches the ray at a vertex, or runs along it, to the
    // right of p, the edges there all meet the ray, but they make one crossing
    // only when the outline goes on to the other side, and none when it turns
    // back. Such a run of vertices is counted as a whole; runs that reach p
    // itself (p on the outline) keep the edge count.
    std::vector<char> counted(n, 0);
    int crossings = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!onLine(i) || onLine(prev(i)))
            continue;
        std::size_t j = i;
        bool rightOfP = onRay(i);
        while (onLine(next(j))) {
            j = next(j);
            rightOfP = rightOfP && onRay(j);
        }
        if (!rightOfP)
            continue;
        counted[prev(i)] = 1;
        for (std::size_t k = i; k != j; k = next(k))
            counted[k] = 1;
        counted[j] = 1;
        if ((v[prev(i)]->y > p.y) != (v[next(j)]->y > p.y))
            ++crossings;
    }
    for (std::size_t i = 0; i < n; ++i)
        if (!counted[i] && Intersect(KaLine(*v[i], *v[next(i)]), ray))
            ++crossings;
    return crossings % 2 == 1;
}

double KaPolygon::Area(bool) const {
    if (points.Count() < 3)
        return -1.0;
    double sum = 0.0;
    for (KaPoint const* p = points.First(); p; p = p->Next()) {
        KaPoint const* q = p->Next() ? p->Next() : points.First();
        sum += (q->y + p->y) * (q->x - p->x) * 0.5;
    }
    return std::fabs(sum);
}

double KaPolygon::Length(bool closed) const {
    int const count = points.Count();
    if (count < 2)
        return -1.0;
    double length = 0.0;
    for (KaPoint const* p = points.First(); p->Next(); p = p->Next())
        length += p->Distance(*p->Next());
    KaPoint const& first = *points.First();
    KaPoint const& last = *points.Last();
    if (closed && count > 2 && !(first == last))
        length += last.Distance(first);
    return length;
}

int KaPolygon::Read(KaReaderObject* object) {
    points.Destroy();
    eKaPointRWMask const* columns = ModeColumns(mode);
    KaPointList read(columns ? KaPointFormat(columns) : points.GetMask());
    // The points read so far are kept even when the block ends in an error.
    auto adopt = [&] {
        if (read.Count() == 2) {
            MakePolygon(*read.First(), *read.Last());
        } else if (KaPoint const* first = read.First()) {
            minCorner = *first;
            maxCorner = *first;
            AddPoint(&read);
        }
    };
    try {
        read.Read(object);
    } catch (KaParserStatus const&) {
        adopt();
        throw;
    }
    adopt();
    return 1;
}

void KaPolygon::Write(std::ostream& os) {
    if (eKaPointRWMask const* columns = ModeColumns(mode))
        points.SetMask(KaPointFormat(columns));
    points.Write(os);
}

KaPoint KaCalcGravitycenter(KaPointList const& list) {
    KaPoint c;
    double k = 0.0;
    for (KaPoint const* p = list.First(); p; p = p->Next()) {
        k += 1.0;
        auto mean = [k](double& m, double v) { m = (m * (k - 1.0) + v) / k; };
        mean(c.x, p->x);
        mean(c.y, p->y);
        mean(c.z, p->z);
        mean(c.dx, p->dx);
        mean(c.dy, p->dy);
        mean(c.dz, p->dz);
    }
    return c;
}

int KaSimpleClosedPath(KaPointList const& in, KaPointList* out) {
    KaPointList work(in);
    if (out)
        out->Destroy();
    std::vector<KaPoint*> sorted;
    KaPoint const* anchor = nullptr;
    for (KaPoint* p = work.First(); p; p = p->Next()) {
        sorted.push_back(p);
        if (!anchor || p->y < anchor->y)
            anchor = p;
    }
    if (sorted.empty())
        return 0;
    double const ax = anchor->x, ay = anchor->y;
    for (KaPoint* p : sorted) {
        double const dx = p->x - ax, dy = p->y - ay;
        double t = dx == 0.0 && dy == 0.0 ? 0.0 : dy / (std::fabs(dx) + std::fabs(dy));
        if (dx < 0.0)
            t = 2.0 - t;
        else if (dy < 0.0)
            t = t + 4.0;
        p->redu = 90.0 * t;
    }
    // A key that orders even points with non-finite coordinates.
    auto key = [](KaPoint const* p) {
        return std::isnan(p->redu) ? std::numeric_limits<double>::infinity() : p->redu;
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](KaPoint const* a, KaPoint const* b) { return key(a) < key(b); });
    int const count = static_cast<int>(sorted.size());
    if (out)
        for (KaPoint* p : sorted)
            out->Add(work.Subtract(p));
    return count;
}
