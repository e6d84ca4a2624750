#include "model/KaPhoto.h"

#include "foundation/Link.h"
#include "textio/KaFileName.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The text split at every ';'.
std::vector<std::string> SplitFields(char const* text) {
    std::vector<std::string> parts(1);
    for (char const* c = text ? text : ""; *c; ++c) {
        if (*c == ';')
            parts.emplace_back();
        else
            parts.back() += *c;
    }
    return parts;
}

// The leading integer of a field, 0 when there is none.
int FieldValue(std::string const& field) {
    return static_cast<int>(std::strtol(field.c_str(), nullptr, 10));
}

// A value entry: the keyword left-aligned in 12 columns, then the value in the
// column layout of w4.
std::ostream& Entry(std::ostream& os, char const* keyword) {
    return os << s12 << keyword << w4;
}

// A transformation record: keyword, then the record in a block of its own lines.
void TrafoEntry(std::ostream& os, char const* keyword, KaReseauTrafo const& trafo) {
    os << s12 << keyword << Kaendl << KaBeginBlockNL;
    trafo.Write(os);
    os << KaEndBlockNL << Kaendl;
}

KaPhoto const* AsPhoto(KaObject const* object) {
    return dynamic_cast<KaPhoto const*>(object);
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

KaPhoto::KaPhoto(unsigned int id) : KaListnode(id) {}

KaPhoto::KaPhoto(unsigned int id, String const& name) : KaListnode(id, name) {}

KaPhoto::KaPhoto(KaPhoto const& other) : KaListnode(), KaFlag() {
    *this = other;
}

KaPhoto::KaPhoto(KaReaderObject* object) {
    Read(object);
}

KaPhoto& KaPhoto::operator=(KaPhoto const& other) {
    if (this == &other)
        return *this;
    DestroyLists();
    Init();
    SetId(other.GetId());
    SetName(other.GetName());
    m_Comment = other.m_Comment;
    m_Rotation = other.m_Rotation;
    m_ActiveFlag = other.m_ActiveFlag;
    m_Layer = other.m_Layer;
    m_Scale = other.m_Scale;
    m_DigiRegion = other.m_DigiRegion;
    m_ReseauData = other.m_ReseauData;
    m_ReseauPreTrafo = other.m_ReseauPreTrafo;
    m_ReseauMainTrafo = other.m_ReseauMainTrafo;
    m_PolyInvTrafo = other.m_PolyInvTrafo;
    m_Camera = other.m_Camera;
    m_Phototype = other.m_Phototype;
    m_DigitizerId = other.m_DigitizerId;
    m_ScreenPos = other.m_ScreenPos;
    m_DigPictPage = other.m_DigPictPage;
    m_DigPictRot = other.m_DigPictRot;
    m_ScreenScale = other.m_ScreenScale;
    return *this;
}

KaPhoto::~KaPhoto() {
    DestroyLists();
}

void KaPhoto::DestroyLists() {
    m_MeasureList.Destroy();
    m_RektList.Destroy();
    m_AttributeList.Destroy();
    m_ImoList.Destroy();
}

void KaPhoto::Init() {
    m_Rotation = 0;
    m_Layer = 0;
    m_Scale = 0.0;
    m_Phototype = KaPhotoAnalog;
    m_DigPictPage = 0;
    m_DigPictRot = 0;
    m_ScreenScale = 0;
    m_AktBikoId = 0;
    m_ActiveFlag = 1;
    m_DigitizerId = 1;
}

int KaPhoto::Compare(KaListnode const* other) const {
    if (!other)
        return 1;
    return static_cast<int>(GetId() - other->GetId());
}

bool KaPhoto::ExistFile() const {
    return KaExistFile(GetName());
}

// ---------------------------------------------------------------------------
// Image points

KaPoint* KaPhoto::SubtractMeasure(unsigned int id) {
    return m_MeasureList.Subtract(FindMeasure(id));
}

KaPoint* KaPhoto::SubtractMeasure(KaPoint* p) {
    return m_MeasureList.Subtract(p);
}

KaPoint* KaPhoto::AddMeasure(KaPoint* p, eConvertBikoMode mode) {
    if (!p)
        return p;
    ConvertBiko(p, mode);
    p->photoId = static_cast<int>(GetId());
    return m_MeasureList.Replace(p);
}

KaPoint* KaPhoto::AddMeasure(KaPoint const& p, eConvertBikoMode mode) {
    return AddMeasure(new KaPoint(p), mode);
}

KaPoint* KaPhoto::SubtractImo(unsigned int id) {
    return m_ImoList.Subtract(FindImo(id));
}

KaPoint* KaPhoto::AddImo(KaPoint* p, eConvertBikoMode mode) {
    if (!p)
        return p;
    ConvertBiko(p, mode);
    return m_ImoList.Replace(p);
}

KaPoint* KaPhoto::AddImo(KaPoint const& p, eConvertBikoMode mode) {
    return AddImo(new KaPoint(p), mode);
}

KaPoint* KaPhoto::MoveImoToMeasure(unsigned int id, eConvertBikoMode mode) {
    KaPoint* p = SubtractImo(id);
    return p ? AddMeasure(p, mode) : nullptr;
}

KaPoint* KaPhoto::MoveMeasureToImo(unsigned int id, eConvertBikoMode mode) {
    KaPoint* p = SubtractMeasure(id);
    return p ? AddImo(p, mode) : nullptr;
}

KaPoint* KaPhoto::CopyImoToMeasure(unsigned int id, eConvertBikoMode mode) {
    KaPoint const* p = FindImo(id);
    return p ? AddMeasure(*p, mode) : nullptr;
}

KaPoint* KaPhoto::CopyMeasureToImo(unsigned int id, eConvertBikoMode mode) {
    KaPoint const* p = FindMeasure(id);
    return p ? AddImo(*p, mode) : nullptr;
}

// ---------------------------------------------------------------------------
// Conversions

int KaPhoto::ConvertBiko(KaPoint* p, eConvertBikoMode mode) const {
    if (!p)
        return 1;
    switch (mode) {
    case CB_PIXEL_TO_PRE:
        m_ReseauPreTrafo.Transform(p);
        break;
    case CB_PIXEL_TO_BIKO:
        m_ReseauPreTrafo.Transform(p);
        m_ReseauMainTrafo.Transform(p);
        break;
    case CB_PRE_TO_BIKO:
        m_ReseauMainTrafo.Transform(p);
        break;
    case CB_PIXEL_TO_ADJUSTED:
        m_ReseauPreTrafo.Transform(p);
        m_ReseauMainTrafo.Transform(p);
        m_Camera.Adjust(&p->x, &p->y);
        break;
    case CB_BIKO_TO_ADJUSTED:
        m_Camera.Adjust(&p->x, &p->y);
        break;
    case CB_ADJUSTED_TO_BIKO:
        m_Camera.InvAdjust(&p->x, &p->y);
        break;
    case CB_BIKO_TO_PIXEL:
    case CB_PRE_TO_PIXEL:
    case CB_BIKO_TO_PRE:
    case CB_ADJUSTED_TO_PIXEL:
    case CB_RESERVED_11:
    case CB_RESERVED_12:
    case CB_RESERVED_13:
        KaBikoTransform(this, mode).Transform(p);
        break;
    default:
        break;
    }
    return 1;
}

void KaPhoto::ConvertList(KaPointList* list, eConvertBikoMode mode) const {
    if (!list)
        return;
    KaBikoTransform const trafo(this, mode);
    for (KaPoint* p = list->First(); p; p = p->Next())
        trafo.Transform(p);
}

double KaPhoto::PixelSizeAlong(double dx, double dy) const {
    KaPoint origin(0, 0.0, 0.0);
    KaPoint end(0, dx, dy);
    ConvertBiko(&origin, CB_BIKO_TO_PIXEL);
    ConvertBiko(&end, CB_BIKO_TO_PIXEL);
    double d = std::hypot(end.x - origin.x, end.y - origin.y);
    if (d == 0.0)
        d = 1.0;
    return std::fabs(5.0 / d);
}

double KaPhoto::GetPixelSizeX() const {
    return PixelSizeAlong(5.0, 0.0);
}

double KaPhoto::GetPixelSizeY() const {
    return PixelSizeAlong(0.0, 5.0);
}

double KaPhoto::GetPixelSize() const {
    return std::sqrt(GetPixelSizeX() * GetPixelSizeY());
}

KaRegion KaPhoto::GetBikoRegion() const {
    KaRegion region(m_DigiRegion);
    m_ReseauPreTrafo.Transform(&region.Left(), &region.Bottom());
    m_ReseauMainTrafo.Transform(&region.Left(), &region.Bottom());
    m_ReseauPreTrafo.Transform(&region.Right(), &region.Top());
    m_ReseauMainTrafo.Transform(&region.Right(), &region.Top());
    return region;
}

// ---------------------------------------------------------------------------
// Rectification transforms and attributes

KaRektTrafo* KaPhoto::GetRektTrafo(KaPoint const* p, KaRektTrafo const* after, bool activeOnly) const {
    KaRektTrafo* t = after ? after->Next() : m_RektList.First();
    for (; t; t = t->Next()) {
        if (t->HasRegion() && !t->Overlap(p))
            continue;
        if (activeOnly && !t->IsActive())
            continue;
        return t;
    }
    return nullptr;
}

int KaPhoto::CountRektTrafo(KaPoint const* p, bool activeOnly) const {
    int count = 0;
    for (KaRektTrafo const* t = GetRektTrafo(p, nullptr, activeOnly); t; t = GetRektTrafo(p, t, activeOnly))
        ++count;
    return count;
}

KaAttribute* KaPhoto::AddAttribute(KaAttribute* attribute) {
    if (!attribute)
        return nullptr;
    attribute->SetPhoto(this);
    attribute->OnAdd();
    return m_AttributeList.Add(attribute);
}

KaAttribute* KaPhoto::AddAttribute(KaAttribute const& attribute) {
    KaAttribute* copy = m_AttributeList.Add(attribute);
    copy->OnAdd();
    copy->SetPhoto(this);
    return copy;
}

// ---------------------------------------------------------------------------
// File

void KaPhoto::Write(std::ostream& os) const {
    os << s12 << "PHOTOID" << w4 << KaBeginBlock << w4 << GetId() << " \"" << KaQuotable(GetName()).chars()
       << '"' << KaEndBlock << Kaendl;
    Entry(os, "COMMENT") << '"' << KaQuotable(m_Comment).chars() << '"' << Kaendl;
    Entry(os, "DIGITALPAGE") << m_DigPictPage << Kaendl;
    Entry(os, "DIGITALROT") << m_DigPictRot << Kaendl;
    Entry(os, "DIGITAL") << static_cast<int>(m_Phototype) << Kaendl;
    Entry(os, "DIGITIZERID") << m_DigitizerId << Kaendl;
    Entry(os, "CHECKACTIVE") << (IsFlagSet(PointFlagGuiCheckActive) ? 1 : 0) << Kaendl;
    Entry(os, "STATE") << m_ActiveFlag << Kaendl;
    Entry(os, "ROTATION") << m_Rotation << Kaendl;
    os << s12 << "SCALE" << p6 << w6 << m_Scale << Kaendl;

    Entry(os, "DIGIREGION") << KaBeginBlock;
    m_DigiRegion.Write(os);
    os << KaEndBlock << Kaendl;

    Entry(os, "CAMERA") << KaBeginBlock;
    m_Camera.Write(os);
    os << KaEndBlock << Kaendl;

    Entry(os, "RESEAUFILE") << '"' << KaQuotable(m_ReseauData.GetName()).chars() << '"' << Kaendl;
    Entry(os, "RESEAUSUBID") << m_ReseauData.GetSubId() << Kaendl;

    TrafoEntry(os, "PRERESTRAFO", m_ReseauPreTrafo);
    TrafoEntry(os, "MAINRESTRAFO", m_ReseauMainTrafo);
    if (m_PolyInvTrafo.GetType() == KaTrafo2DPolynomial)
        TrafoEntry(os, "POLYRESINVTRAFO", m_PolyInvTrafo);

    Entry(os, "SCREENPOS") << KaBeginBlock;
    m_ScreenPos.Write(os);
    os << KaEndBlock << Kaendl;
    os << s12 << "SCREENSIZE" << p4 << w4 << m_ScreenScale << Kaendl;

    for (KaRektTrafo const* t = m_RektList.First(); t; t = t->Next()) {
        os << s12 << "REKTPLANE" << Kaendl << KaBeginBlockNL;
        t->Write(os);
        os << KaEndBlockNL << Kaendl;
    }
}

// Plain values are read straight into their fields; every handler reads its own
// field, so that the last of two entries for one field wins whatever their kind.
int KaPhoto::Read(KaReaderObject* object) {
    if (!object)
        return 1;
    bool checkActive = false;

    KaReaderObject entries[] = {
        {"PHOTOID", Link(static_cast<KaObject*>(this), &KaObject::Read)},
        {"COMMENT", &m_Comment},
        {"USERDATA", Link(this, &KaPhoto::ReadUserData)},
        {"DIGITALPAGE", &m_DigPictPage},
        {"DIGITALROT", &m_DigPictRot},
        {"TYPE", Link(this, &KaPhoto::ReadType)},
        {"DIGITAL", Link(this, &KaPhoto::ReadPhototype)},
        {"DIGITIZERID", Link(this, &KaPhoto::ReadDigitizerId)},
        {"CHECKACTIVE", &checkActive},
        {"STATE", &m_ActiveFlag},
        {"ROTATION", &m_Rotation},
        {"SCALE", &m_Scale},
        {"DIGIREGION", Link(&m_DigiRegion, &KaRegion::Read)},
        {"CAMERA", Link(&m_Camera, &KaCamera::Read)},
        {"PRERESEAU", Link(&m_ReseauPreTrafo, &KaReseauTrafo::ReadV50)},
        {"MAINRESEAU", Link(&m_ReseauMainTrafo, &KaReseauTrafo::ReadV50)},
        {"POLYRESINV", Link(&m_PolyInvTrafo, &KaReseauTrafo::ReadV50)},
        {"RESEAUFILE", Link(this, &KaPhoto::ReadReseauFile)},
        {"RESEAUSUBID", Link(this, &KaPhoto::ReadReseauSubId)},
        {"PRERESTRAFO", Link(&m_ReseauPreTrafo, &KaReseauTrafo::Read)},
        {"MAINRESTRAFO", Link(&m_ReseauMainTrafo, &KaReseauTrafo::Read)},
        {"POLYRESINVTRAFO", Link(&m_PolyInvTrafo, &KaReseauTrafo::Read)},
        {"REKTTRAFO", Link(&m_RektList, &KaRektTrafoList::AddTrafoV50)},
        {"REKTPLANE", Link(&m_RektList, &KaRektTrafoList::AddTrafo)},
        {"SCREENPOS", Link(this, &KaPhoto::ReadScreenPos)},
        {"SCREENSIZE", &m_ScreenScale},
    };
    for (KaReaderObject& entry : entries)
        object->RegisterObject(entry);
    object->DoProcess();

    if (checkActive)
        SetFlag(PointFlagGuiCheckActive);

    // The old layout named the reseau file in the pre transformation and kept an
    // analog photo's description where the image path is kept now. Only such a
    // photo is converted: a photo of the current layout never has a named pre
    // transformation, and its name and comment must stay as they were written.
    if (!m_ReseauPreTrafo.GetName().empty()) {
        m_ReseauData.Set(m_ReseauPreTrafo.GetName(), m_ReseauData.GetSubId());
        if (!IsDigital()) {
            m_Comment = GetName();
            SetName(String());
        }
    }
    return 1;
}

// "USERDATA" "?;page;rotation;?": the page counted from 0, rotation code 3 for none.
int KaPhoto::ReadUserData(KaReaderObject* object) {
    std::vector<std::string> const parts = SplitFields(object->GetParser().GetTokenString());
    if (parts.size() > 1)
        m_DigPictPage = FieldValue(parts[1]) + 1;
    if (parts.size() > 2) {
        int const rotation = FieldValue(parts[2]);
        m_DigPictRot = rotation == 3 ? 0 : rotation;
    }
    return 1;
}

// "TYPE" { phototype digitizer }
int KaPhoto::ReadType(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    int const type = in.GetInt();
    int const digitizer = in.GetInt();
    m_Phototype = static_cast<eKaPhototype>(type);
    m_DigitizerId = static_cast<unsigned int>(digitizer);
    return 1;
}

int KaPhoto::ReadPhototype(KaReaderObject* object) {
    m_Phototype = static_cast<eKaPhototype>(object->GetParser().GetTokenInt());
    return 1;
}

int KaPhoto::ReadDigitizerId(KaReaderObject* object) {
    m_DigitizerId = static_cast<unsigned int>(object->GetParser().GetTokenInt());
    return 1;
}

int KaPhoto::ReadReseauFile(KaReaderObject* object) {
    m_ReseauData.Set(String(object->GetParser().GetTokenString()), m_ReseauData.GetSubId());
    return 1;
}

int KaPhoto::ReadReseauSubId(KaReaderObject* object) {
    m_ReseauData.Set(m_ReseauData.GetName(), static_cast<unsigned int>(object->GetParser().GetTokenInt()));
    return 1;
}

int KaPhoto::ReadScreenPos(KaReaderObject* object) {
    return m_ScreenPos.Read(object);
}

// ---------------------------------------------------------------------------
// KaPhotoList, predicates and the reseau file of a photo

KaPhotoList& KaPhotoList::operator=(KaPhotoList const& other) {
    TKaListHeader<KaPhoto>::operator=(other);
    return *this;
}

KaPhotoList::~KaPhotoList() = default;

KaPhoto* KaPhotoList::AddPhoto(KaReaderObject* object) {
    return Add(new KaPhoto(object));
}

unsigned int IsPhotoDigital(KaObject const* object) {
    KaPhoto const* photo = AsPhoto(object);
    return photo && photo->IsDigital() ? 1 : 0;
}

unsigned int IsPhotoAnalog(KaObject const* object) {
    KaPhoto const* photo = AsPhoto(object);
    return photo && photo->IsAnalog() ? 1 : 0;
}

unsigned int IsPhotoExtern(KaObject const* object) {
    KaPhoto const* photo = AsPhoto(object);
    return photo && photo->IsExtern() ? 1 : 0;
}

unsigned int IsPhotoActive(KaObject const* object) {
    KaPhoto const* photo = AsPhoto(object);
    return photo && photo->IsActive() ? 1 : 0;
}

unsigned int HasPhotoReseau(KaObject const* object) {
    KaPhoto const* photo = AsPhoto(object);
    return photo && photo->GetReseauTrafoType() != KaTrafo2DNone ? 1 : 0;
}

unsigned int HasPhotoRekt(KaObject const* object) {
    KaPhoto const* photo = AsPhoto(object);
    return photo && !photo->GetRektList().IsEmpty() ? 1 : 0;
}

KaReseauFile* KaReseaufileList::FindReseauFile(KaPhoto const* photo) const {
    if (!photo)
        return nullptr;
    return FindReseauFile(photo->ReseauData());
}
