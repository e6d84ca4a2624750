#include "rectify/KaRektMosaik.h"

#include <algorithm>

KaRektMosaik::KaRektMosaik(KaRektMosaik const& other)
    : TKaListHeader<KaRectPlane>(other), m_min(other.m_min), m_max(other.m_max) {}

KaRektMosaik& KaRektMosaik::operator=(KaRektMosaik const& other) {
    if (&other != this) {
        TKaListHeader<KaRectPlane>::operator=(other);
        m_min = other.m_min;
        m_max = other.m_max;
    }
    return *this;
}

KaRektMosaik::~KaRektMosaik() = default;

void KaRektMosaik::InitMinMax(KaRectPlane const* plane) {
    if (!plane)
        return;
    m_min = plane->GetMinCorner();
    m_max = plane->GetMaxCorner();
}

void KaRektMosaik::UpdateMinMax(KaRectPlane const* plane) {
    if (!plane)
        return;
    KaPoint const& lo = plane->GetMinCorner();
    KaPoint const& hi = plane->GetMaxCorner();
    m_min.x = std::min(m_min.x, lo.x);
    m_min.y = std::min(m_min.y, lo.y);
    m_min.z = std::min(m_min.z, lo.z);
    m_max.x = std::max(m_max.x, hi.x);
    m_max.y = std::max(m_max.y, hi.y);
    m_max.z = std::max(m_max.z, hi.z);
}

bool KaRektMosaik::UpdateAllMinMax() {
    KaRectPlane* plane = First();
    if (!plane)
        return false;
    InitMinMax(plane);
    for (plane = plane->Next(); plane; plane = plane->Next())
        UpdateMinMax(plane);
    return true;
}

KaRectPlane* KaRektMosaik::GetPlane(KaPoint const& p) const {
    for (KaRectPlane* plane = First(); plane; plane = plane->Next())
        if (plane->Overlap(p))
            return plane;
    return nullptr;
}

KaRectPlane* KaRektMosaik::FindPlane(unsigned int photoId, unsigned int rektId) const {
    for (KaRectPlane* plane = First(); plane; plane = plane->Next())
        if (plane->GetPhotoId() == photoId && plane->GetRektId() == rektId)
            return plane;
    return nullptr;
}

void KaRektMosaik::UpPlane(KaRectPlane* plane) {
    if (!plane)
        plane = First();
    if (!plane || !Exist(plane))
        return;
    KaRectPlane* const before = plane->Previous();
    Subtract(plane);
    if (before)
        Insert(before, plane);
    else
        Add(plane);
}

void KaRektMosaik::DownPlane(KaRectPlane* plane) {
    if (!plane)
        plane = Last();
    if (!plane || !Exist(plane))
        return;
    KaRectPlane* const next = plane->Next();
    Subtract(plane);
    if (!next)
        Insert(First(), plane);
    else if (KaRectPlane* const after = next->Next())
        Insert(after, plane);
    else
        Add(plane);
}

void KaRektMosaik::TopPlane(KaRectPlane* plane) {
    if (!plane || !Exist(plane))
        return;
    Subtract(plane);
    Insert(First(), plane);
}

void KaRektMosaik::BottomPlane(KaRectPlane* plane) {
    if (!plane || !Exist(plane))
        return;
    Subtract(plane);
    Add(plane);
}
