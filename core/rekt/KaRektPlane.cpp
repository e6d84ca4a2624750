#include "rekt/KaRektPlane.h"

#include "model/KaPhoto.h"
#include "rekt/KaRektPhotoOps.h"
#include "rekt/KaRektTrafo.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <memory>
#include <ostream>

namespace {

KaMatrix Identity(int n) {
    KaMatrix m(n, n);
    m.SetIdent();
    return m;
}

// The inverse of m; the identity when m is singular.
KaMatrix InverseOrIdentity(KaMatrix m) {
    int err = 0;
    m.Invert(&err);
    return err == 0 ? m : Identity(m.GetLines());
}

// The 4 x 4 matrix that applies the homogeneous 3 x 3 matrix a to x, y and w
// and carries z along.
KaMatrix Extend(KaMatrix const& a) {
    static int const index[3] = {1, 2, 4};
    KaMatrix e = Identity(4);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            e.SetElem(index[i], index[j], a.GetElem(i + 1, j + 1));
    return e;
}

void WriteObject(std::ostream& os, char const* keyword, KaObject const& object) {
    os << s12 << keyword << w4 << KaBeginBlock;
    KaObject(object.GetId(), KaQuotable(object.GetName())).Write(os);
    os << KaEndBlock << Kaendl;
}

template <class Record>
void WriteRecord(std::ostream& os, char const* keyword, Record write) {
    os << s12 << keyword << Kaendl << KaBeginBlockNL;
    write();
    os << KaEndBlockNL << Kaendl;
}

} // namespace

// ---------------------------------------------------------------------------
// KaRectPlane

KaRectPlane::KaRectPlane(KaPhoto* photo, KaRektTrafo* trafo)
    : KaPolygon(KaPolygonXY), m_photo(photo), m_trafo(trafo), m_bikoPolygon(KaPolygonXY),
      m_bikoToPixel(photo, CB_BIKO_TO_PIXEL) {
    m_connect.SetIdent();
    m_mapping.SetIdent();
    m_pixelToBiko =
        m_bikoToPixel.IsPolyTrafo() ? Identity(3) : InverseOrIdentity(m_bikoToPixel.GetTransformation());
    CalcRektPolygonBiko();
}

KaRectPlane::KaRectPlane(KaRectPlane const& other) = default;
KaRectPlane& KaRectPlane::operator=(KaRectPlane const& other) = default;
KaRectPlane::~KaRectPlane() = default;

unsigned int KaRectPlane::GetPhotoId() const {
    return m_photo ? m_photo->GetId() : 0;
}

unsigned int KaRectPlane::GetRektId() const {
    return m_trafo ? m_trafo->GetId() : 0;
}

KaMatrix const& KaRectPlane::GetRektMat() const {
    static KaMatrix const identity = Identity(3);
    return m_trafo ? m_trafo->GetRektMat() : identity;
}

KaPolygon const* KaRectPlane::GetRektRangeBiko() const {
    return m_trafo ? &m_trafo->GetRegion() : nullptr;
}

void KaRectPlane::CalcRektPolygonBiko() {
    KaPointList outline;
    KaGetRektBikoPoints(outline, m_photo, m_trafo);
    m_bikoPolygon = KaPolygon(&outline, KaPolygonXY);
    m_bikoPolygon.UpdateMinMax();

    KaPoint lo = m_bikoPolygon.GetMinCorner();
    KaPoint hi = m_bikoPolygon.GetMaxCorner();
    m_bikoToPixel.Transform(&lo);
    m_bikoToPixel.Transform(&hi);
    // KaRegion sorts its corners, so a pixel axis running against the image axis
    // still gives a positive width and height.
    m_pixelRect = KaRegion(0.0, 0.0, hi.x - lo.x, hi.y - lo.y);
}

void KaRectPlane::CalcRektBorder() {
    bool const compensate = m_trafo && m_trafo->CompensateDistortion();
    for (KaPoint const* p = m_bikoPolygon.First(); p; p = p->Next()) {
        KaPoint q(*p);
        if (compensate)
            m_trafo->GetDistortCameraParam().Adjust(&q.x, &q.y);
        m_mapping.PTrans2D(&q);
        AddPoint(q);
    }
}

// ---------------------------------------------------------------------------
// KaRektPlaneInfo

KaRektPlaneInfo::KaRektPlaneInfo() : m_range(KaPolygonXY) {
    m_transformation.SetIdent();
}

KaRektPlaneInfo::KaRektPlaneInfo(KaMatrix const& toMosaic, KaRectPlane const* plane) : KaRektPlaneInfo() {
    if (!plane)
        return;
    if (KaPhoto const* photo = plane->GetPhoto())
        m_photo = static_cast<KaObject const&>(*photo);
    KaRektTrafo const* trafo = plane->GetRektTrafo();
    if (trafo)
        m_rekt = static_cast<KaObject const&>(*trafo);

    m_range = static_cast<KaPolygon const&>(*plane);
    m_range.SetMode(KaPolygonXY);
    m_range.UpdateMinMax();

    KaMatrix const toObject = trafo ? trafo->GetTransMat() : Identity(4);
    m_transformation = toObject * InverseOrIdentity(Extend(plane->GetConnectMatrix())) * Extend(toMosaic);
}

KaRektPlaneInfo::KaRektPlaneInfo(KaReaderObject* object) : KaRektPlaneInfo() {
    Read(object);
}

KaRektPlaneInfo::KaRektPlaneInfo(KaRektPlaneInfo const& other) = default;
KaRektPlaneInfo& KaRektPlaneInfo::operator=(KaRektPlaneInfo const& other) = default;
KaRektPlaneInfo::~KaRektPlaneInfo() = default;

bool KaRektPlaneInfo::Transform(KaPoint* p) const {
    if (!p)
        return false;
    m_transformation.PTrans3D(p);
    return true;
}

// Only a 4 x 4 matrix replaces the transformation: every info keeps one that
// maps, copies and assigns whatever a damaged file holds.
int KaRektPlaneInfo::ReadTransformation(KaReaderObject* object) {
    KaMatrix read(0, 0);
    read.Read(object);
    if (read.GetLines() == 4 && read.GetSpalten() == 4)
        m_transformation = read;
    return 1;
}

int KaRektPlaneInfo::Read(KaReaderObject* object) {
    if (!object)
        return 1;
    m_range.SetMode(KaPolygonXY);
    KaReaderObject entries[] = {
        {"PHOTOID", Link(&m_photo, &KaObject::Read)},
        {"REKTID", Link(&m_rekt, &KaObject::Read)},
        {"TRANSFORMATION", Link(this, &KaRektPlaneInfo::ReadTransformation)},
        {"REKTRANGE", Link(&m_range, &KaPolygon::Read)},
    };
    for (KaReaderObject& entry : entries)
        object->RegisterObject(entry);
    object->DoProcess();
    return 1;
}

void KaRektPlaneInfo::Write(std::ostream& os) const {
    WriteObject(os, "PHOTOID", m_photo);
    WriteObject(os, "REKTID", m_rekt);
    WriteRecord(os, "TRANSFORMATION", [&] { m_transformation.Write(os); });
    // Polygons write through a copy: writing sets the copy's column mask.
    WriteRecord(os, "REKTRANGE", [&] { KaPolygon(m_range).Write(os); });
}

// ---------------------------------------------------------------------------
// KaRektPlaneInfoList

KaRektPlaneInfoList& KaRektPlaneInfoList::operator=(KaRektPlaneInfoList const& other) {
    TKaListHeader<KaRektPlaneInfo>::operator=(other);
    return *this;
}

KaRektPlaneInfoList::~KaRektPlaneInfoList() = default;

int KaRektPlaneInfoList::AddPlane(KaReaderObject* object) {
    auto info = std::make_unique<KaRektPlaneInfo>(object);
    Add(info.release());
    return 1;
}

KaRektPlaneInfo* KaRektPlaneInfoList::FindPlane(KaPoint const& p) const {
    for (KaRektPlaneInfo* info = First(); info; info = info->Next())
        if (info->Overlap(p))
            return info;
    return nullptr;
}

KaRektPlaneInfo* KaRektPlaneInfoList::FindPlane(unsigned int photoId, unsigned int rektId) const {
    for (KaRektPlaneInfo* info = First(); info; info = info->Next())
        if (info->GetPhotoId() == photoId && (rektId == 0 || info->GetRektId() == rektId))
            return info;
    return nullptr;
}

bool KaRektPlaneInfoList::Transform(KaPoint* p) const {
    if (!p)
        return false;
    KaRektPlaneInfo const* info = FindPlane(*p);
    return info && info->Transform(p);
}
