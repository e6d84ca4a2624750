#include "geometry/KaTriangulatePolygon.h"

#include "geometry/KaLine.h"

#include <unordered_map>
#include <vector>

namespace {

KaPoint* PreviousOf(KaPointList const& list, KaPoint const* v) {
    return v->Previous() ? v->Previous() : list.Last();
}

KaPoint* NextOf(KaPointList const& list, KaPoint const* v) {
    return v->Next() ? v->Next() : list.First();
}

bool IsCandidate(KaPointList const& list, KaPoint const* v) {
    return CounterClockwise(*PreviousOf(list, v), *v, *NextOf(list, v)) >= 0;
}

// The first vertex from `from` on (from the head when null) that turns left or
// runs straight on; a search from a given vertex goes round to the head once.
KaPoint* FindCandidate(KaPointList const& list, KaPoint* from) {
    for (KaPoint* v = from ? from : list.First(); v; v = v->Next())
        if (IsCandidate(list, v))
            return v;
    if (from)
        for (KaPoint* v = list.First(); v; v = v->Next())
            if (IsCandidate(list, v))
                return v;
    return nullptr;
}

// Even-odd count of the triangle's edges met by the ray from p to the right;
// an edge counts from its lower end up to, not including, its upper end.
bool InTriangle(KaPoint const& p, KaPoint const* const corners[3]) {
    bool inside = false;
    for (int i = 0; i < 3; ++i) {
        KaPoint const& a = *corners[i];
        KaPoint const& b = *corners[(i + 1) % 3];
        if ((a.y <= p.y && p.y < b.y) || (b.y <= p.y && p.y < a.y)) {
            double const x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x > p.x)
                inside = !inside;
        }
    }
    return inside;
}

bool AnyPointInside(KaPointList const& list, KaPoint const* a, KaPoint const* v, KaPoint const* c) {
    KaPoint const* const corners[3] = {a, v, c};
    for (KaPoint const* p = list.First(); p; p = p->Next())
        if (p != a && p != v && p != c && InTriangle(*p, corners))
            return true;
    return false;
}

// Twice the signed area: positive for a counter-clockwise outline.
double SignedArea2(KaPointList const& list) {
    double sum = 0.0;
    for (KaPoint const* p = list.First(); p; p = p->Next()) {
        KaPoint const* q = NextOf(list, p);
        sum += p->x * q->y - q->x * p->y;
    }
    return sum;
}

void Reverse(KaPointList& list) {
    std::vector<KaPoint*> nodes;
    while (KaPoint* p = list.SubtractLast())
        nodes.push_back(p);
    for (KaPoint* p : nodes)
        list.Add(p);
}

} // namespace

KaTriangulatePolygon::KaTriangulatePolygon(KaPointList const& polygon) {
    KaPointList working;
    for (KaPoint const* p = polygon.First(); p; p = p->Next())
        working.Add(*p);
    if (working.Count() >= 3) {
        // The clipping takes left turns for ears, which holds for a counter-
        // clockwise outline only; a clockwise one is walked backwards.
        bool const reversed = SignedArea2(working) < 0.0;
        if (reversed)
            Reverse(working);
        Clip(working, reversed);
    }
    while (KaPoint* p = working.SubtractFirst())
        points.Add(p);
}

KaTriangulatePolygon::KaTriangulatePolygon(KaTriangulatePolygon const& other) {
    CopyFrom(other);
}

KaTriangulatePolygon& KaTriangulatePolygon::operator=(KaTriangulatePolygon const& other) {
    if (this != &other)
        CopyFrom(other);
    return *this;
}

KaTriangulatePolygon::~KaTriangulatePolygon() = default;

void KaTriangulatePolygon::Clip(KaPointList& working, bool reversed) {
    auto addTripel = [&](KaPoint* a, KaPoint* v, KaPoint* c) {
        KaPointTripel tripel;
        tripel.Set(reversed ? c : a, 0);
        tripel.Set(v, 1);
        tripel.Set(reversed ? a : c, 2);
        for (int i = 0; i < 3; ++i)
            tripel.SetVisible(i, true);
        tripels.Add(tripel);
    };

    int failures = 0;
    KaPoint* v = FindCandidate(working, nullptr);
    while (v) {
        KaPoint* a = PreviousOf(working, v);
        KaPoint* c = NextOf(working, v);
        if (AnyPointInside(working, a, v, c)) {
            // Once every vertex has been tried there is no ear: the outline
            // crosses itself, and searching on would never end.
            if (++failures >= working.Count())
                return;
            v = FindCandidate(working, NextOf(working, v));
            continue;
        }
        failures = 0;
        if (working.Count() < 4) {
            addTripel(a, v, c);
            return;
        }
        KaPoint* after = c;
        points.Add(working.Subtract(v));
        addTripel(a, v, c);
        v = FindCandidate(working, after);
    }
}

void KaTriangulatePolygon::CopyFrom(KaTriangulatePolygon const& other) {
    points = other.points;
    tripels = other.tripels;
    std::unordered_map<KaPoint const*, KaPoint*> map;
    for (KaPoint *from = other.points.First(), *to = points.First(); from && to;
         from = from->Next(), to = to->Next())
        map.emplace(from, to);
    for (int i = 0; i < tripels.Size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            auto const it = map.find(tripels[i][k]);
            tripels[i].Set(it != map.end() ? it->second : nullptr, k);
        }
    }
}
