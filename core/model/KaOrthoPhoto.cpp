#include "model/KaOrthoPhoto.h"

#include "foundation/Link.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <cmath>
#include <memory>
#include <ostream>

namespace {

std::ostream& Entry(std::ostream& os, char const* keyword) {
    return os << s12 << keyword << w4;
}

void RegionEntry(std::ostream& os, char const* keyword, KaRegion const& region) {
    Entry(os, keyword) << KaBeginBlock;
    region.Write(os);
    os << KaEndBlock << Kaendl;
}

} // namespace

// ---------------------------------------------------------------------------
// KaOrthoPhoto

KaOrthoPhoto::KaOrthoPhoto(unsigned int id) : KaPhoto(id) {
    m_Phototype = KaPhotoDigital;
}

KaOrthoPhoto::KaOrthoPhoto(KaReaderObject* object) : KaPhoto(0u) {
    Read(object);
    m_Phototype = KaPhotoDigital;
}

// The planes are copied too: a copy without them could no longer map its
// pixels into object space, and an orthophoto added to a project is a copy.
KaOrthoPhoto::KaOrthoPhoto(KaOrthoPhoto const& other) : KaPhoto(other) {
    *this = other;
}

KaOrthoPhoto& KaOrthoPhoto::operator=(KaOrthoPhoto const& other) {
    if (this == &other)
        return *this;
    KaPhoto::operator=(other);
    m_PlaneList = other.m_PlaneList;
    m_StatPixel = other.m_StatPixel;
    m_StatTime = other.m_StatTime;
    m_ObjectRegion = other.m_ObjectRegion;
    m_MaxAngle = other.m_MaxAngle;
    return *this;
}

KaOrthoPhoto::~KaOrthoPhoto() = default;

double KaOrthoPhoto::GetPixelSize() const {
    double pixels = m_DigiRegion.Right() - m_DigiRegion.Left();
    if (pixels == 0.0)
        pixels = 1.0;
    return std::fabs((m_ObjectRegion.Right() - m_ObjectRegion.Left()) / pixels);
}

bool KaOrthoPhoto::Transform(KaPoint* p) const {
    if (!p)
        return false;
    if (m_PlaneList.Count() == 1)
        return m_PlaneList.First()->Transform(p);
    return m_PlaneList.Transform(p);
}

bool KaOrthoPhoto::GetImageCorners(KaPoint* c1, KaPoint* c2, KaPoint* c3, KaPoint* c4) const {
    KaRektPlaneInfo const* plane = m_PlaneList.First();
    if (!plane || !c1 || !c2 || !c3 || !c4)
        return false;
    KaPoint const lowerLeft = m_DigiRegion.GetLL();
    KaPoint const upperRight = m_DigiRegion.GetUR();
    *c1 = lowerLeft;
    *c2 = lowerLeft;
    c2->x = upperRight.x;
    *c3 = upperRight;
    *c4 = upperRight;
    c4->x = lowerLeft.x;
    for (KaPoint* c : {c1, c2, c3, c4})
        plane->Transform(c);
    return true;
}

void KaOrthoPhoto::Write(std::ostream& os) const {
    Entry(os, "ID") << KaBeginBlock << w4 << GetId() << " \"" << KaQuotable(GetName()).chars() << '"'
                    << KaEndBlock << Kaendl;
    Entry(os, "COMMENT") << '"' << KaQuotable(m_Comment).chars() << '"' << Kaendl;
    Entry(os, "RECTPIXEL") << m_StatPixel << Kaendl;
    // With all their digits: the stream's precision at this point depends on what
    // was written before, and a rounded scale would change the raster on reloading.
    std::streamsize const precision = os.precision(16);
    Entry(os, "TIME") << m_StatTime << Kaendl;
    Entry(os, "SCALE") << m_Scale << Kaendl;
    Entry(os, "PLANEANGLE") << m_MaxAngle << Kaendl;
    os.precision(precision);
    RegionEntry(os, "PIXELSIZE", m_DigiRegion);
    RegionEntry(os, "OBJECTSIZE", m_ObjectRegion);
    for (KaRektPlaneInfo const* plane = m_PlaneList.First(); plane; plane = plane->Next()) {
        os << s12 << "PLANEINFO" << Kaendl << KaBeginBlockNL;
        plane->Write(os);
        os << KaEndBlockNL << Kaendl;
    }
}

int KaOrthoPhoto::Read(KaReaderObject* object) {
    if (!object)
        return 1;
    KaReaderObject entries[] = {
        {"ID", Link(static_cast<KaObject*>(this), &KaObject::Read)},
        {"COMMENT", &m_Comment},
        {"RECTPIXEL", &m_StatPixel},
        {"TIME", &m_StatTime},
        {"SCALE", &m_Scale},
        {"PLANEANGLE", &m_MaxAngle},
        {"PIXELSIZE", Link(&m_DigiRegion, &KaRegion::Read)},
        {"OBJECTSIZE", Link(&m_ObjectRegion, &KaRegion::Read)},
        {"PLANEINFO", Link(&m_PlaneList, &KaRektPlaneInfoList::AddPlane)},
    };
    for (KaReaderObject& entry : entries)
        object->RegisterObject(entry);
    object->DoProcess();
    return 1;
}

// ---------------------------------------------------------------------------
// KaOrthoPhotoList

KaOrthoPhotoList& KaOrthoPhotoList::operator=(KaOrthoPhotoList const& other) {
    TKaListHeader<KaOrthoPhoto>::operator=(other);
    return *this;
}

KaOrthoPhotoList::~KaOrthoPhotoList() = default;

KaOrthoPhoto* KaOrthoPhotoList::AddPhoto(KaReaderObject* object) {
    auto photo = std::make_unique<KaOrthoPhoto>(object);
    return Add(photo.release());
}
