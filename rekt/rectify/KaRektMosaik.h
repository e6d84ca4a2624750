#pragma once

#include "TarvisRektExport.h"
#include "foundation/KaListHeader.h"
#include "model/KaPoint.h"
#include "rekt/KaRektPlane.h"

// The ordered planes of a digital rectification, front-most first, with their
// common bounding box. Owns its planes; a copy copies the box and every plane.
class TARVISREKT_API KaRektMosaik : public TKaListHeader<KaRectPlane> {
public:
    KaRektMosaik() = default;
    KaRektMosaik(KaRektMosaik const& other);
    using TKaListHeader<KaRectPlane>::operator=;
    KaRektMosaik& operator=(KaRektMosaik const& other);
    ~KaRektMosaik() override;

    // Does nothing.
    void Init() {}
    // The box := the plane's bounding box (nothing for no plane).
    void InitMinMax(KaRectPlane const* plane);
    // Extends the box in x, y and z by the plane's bounding box.
    void UpdateMinMax(KaRectPlane const* plane);
    // The box := the first plane's box extended by all others; false when empty.
    bool UpdateAllMinMax();

    // The first (front-most) plane whose border holds p; null when none.
    KaRectPlane* GetPlane(KaPoint const& p) const;
    // The first plane of that photo and transform number (a missing photo or
    // transform counts as number 0); null when none.
    KaRectPlane* FindPlane(unsigned int photoId, unsigned int rektId) const;

    // Plane order. A plane that is not in this mosaic is left alone.
    // Up: before its predecessor, the first goes to the end; without a plane the
    // first goes to the end.
    void UpPlane(KaRectPlane* plane);
    // Down: after its successor, the last goes to the front; without a plane the
    // last goes to the front.
    void DownPlane(KaRectPlane* plane);
    // To the front, resp. the end; nothing without a plane.
    void TopPlane(KaRectPlane* plane);
    void BottomPlane(KaRectPlane* plane);

    double Width() const { return m_max.x - m_min.x; }
    double Height() const { return m_max.y - m_min.y; }
    KaPoint& GetMin() { return m_min; }
    KaPoint const& GetMin() const { return m_min; }
    KaPoint& GetMax() { return m_max; }
    KaPoint const& GetMax() const { return m_max; }

private:
    KaPoint m_min;
    KaPoint m_max;
};
