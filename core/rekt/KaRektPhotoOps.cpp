#include "rekt/KaRektPhotoOps.h"

#include "model/KaBikoTransform.h"
#include "model/KaPhoto.h"
#include "model/KaPointList.h"
#include "rekt/KaRektTrafo.h"

#include <array>

namespace {

// Each edge of the digitizing region is followed in this many equal steps when
// distortion bends its image.
constexpr int EdgeSteps = 9;

// The corners of the photo's digitizing region, counter-clockwise from the
// lower left, in image coordinates.
std::array<KaPoint, 4> BikoCorners(KaPhoto const& photo) {
    KaRegion const& r = photo.GetDigiRegion();
    std::array<KaPoint, 4> corners = {KaPoint(1, r.Left(), r.Bottom()), KaPoint(2, r.Right(), r.Bottom()),
                                      KaPoint(3, r.Right(), r.Top()), KaPoint(4, r.Left(), r.Top())};
    for (KaPoint& c : corners)
        photo.ConvertBiko(&c, CB_PIXEL_TO_BIKO);
    return corners;
}

} // namespace

int KaGetRektBikoPoints(KaPointList& out, KaPhoto const* photo, KaRektTrafo const* trafo) {
    out.Destroy();
    if (!photo || !trafo)
        return 0;

    if (trafo->HasRegion()) {
        trafo->GetRegion().GetPointList().CopyTo(&out);
        return out.Count();
    }

    std::array<KaPoint, 4> const corners = BikoCorners(*photo);
    if (!trafo->CompensateDistortion()) {
        for (KaPoint const& c : corners)
            out.Add(c);
        return out.Count();
    }

    for (std::size_t i = 0; i < corners.size(); ++i) {
        KaPoint const& a = corners[i];
        KaPoint const& b = corners[(i + 1) % corners.size()];
        out.Add(a);
        for (int k = 1; k < EdgeSteps; ++k) {
            double const t = static_cast<double>(k) / EdgeSteps;
            KaPoint p(a);
            p.x = a.x + t * (b.x - a.x);
            p.y = a.y + t * (b.y - a.y);
            p.z = a.z + t * (b.z - a.z);
            out.Add(p);
        }
    }
    out.Renumber(1, nullptr, 1);
    return out.Count();
}

double KaRektTrafo::GetOriginalPixelArea(KaPhoto const* photo) const {
    if (!photo || !photo->IsDigital() || !photo->IsActive())
        return 0.0;
    KaPolygon pixels(m_region);
    KaBikoTransform const toPixel(photo, CB_BIKO_TO_PIXEL);
    for (KaPoint* p = pixels.First(); p; p = p->Next())
        toPixel.Transform(p);
    // A region of fewer than three points encloses nothing.
    double const area = pixels.Area();
    return area > 0.0 ? area : 0.0;
}
