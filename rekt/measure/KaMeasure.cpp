#include "measure/KaMeasure.h"

#include "geometry/KaRegion.h"
#include "model/KaPhoto.h"
#include "model/KaPoint.h"
#include "project/KaProject.h"
#include "rekt/KaRektTrafo.h"

#include <algorithm>
#include <cstdint>

KaMeasure::KaMeasure(KaProject* project)
    : KaVirtualProject(project), KaMeasureControlStack(), KaVirtualDigitizer(project), KaWhoIsRunnig(),
      KaVorwartsschnitt(project) {
    m_dummyReseauFile.GenerateDummyData();
}

KaMeasure::~KaMeasure() = default;

eKaMeasureMode KaMeasure::GetMode() {
    return GetControl()->mode;
}

void KaMeasure::SetMode(eKaMeasureMode mode) {
    GetControl()->mode = mode;
}

bool KaMeasure::IsOnStack(KaMeasureControl const* control) const {
    for (KaMeasureControl const* c = KaMeasureControlStack::First(); c; c = c->Next())
        if (c == control)
            return true;
    return false;
}

bool KaMeasure::Refuse(KaMeasureControl& control, int code) {
    control.errorCode = code;
    DlgMeasureError();
    return false;
}

// ---------------------------------------------------------------------------
// Receiving positions

bool KaMeasure::ReceiveDigitzer2DData(KaDigitizerEvent const& event) {
    KaMeasureControl& c = *GetControl();
    c.lastEvent = event;
    KaPoint& point = c.lastEvent.point;

    if (c.mode == KaMeasModePreReseauSize) {
        if (point.photoId != 0 && (c.lastEvent.GetCaps() & KaDigiCapsPreferSecond) == 0 &&
            c.boundPhotoId != 0 && static_cast<unsigned int>(point.photoId) != c.boundPhotoId) {
            c.photo = FindPhoto(static_cast<unsigned int>(point.photoId));
            return Refuse(c, KaMeasErrOtherPhoto);
        }
        if (KaPhoto const* bound = FindPhoto(c.boundPhotoId))
            point.photoId = static_cast<int>(bound->GetId());
    }

    KaPhoto* photo = FindPhoto(static_cast<unsigned int>(point.photoId));
    c.photo = photo;

    if (c.mode == KaMeasModeProgrammButton) {
        c.measureLink.Call(this);
        return true;
    }
    if (InterpretDigikey(c))
        return false;
    if (!photo)
        return Refuse(c, KaMeasErrNoPhoto);
    if (c.boundPhotoId != 0 && c.boundPhotoId != photo->GetId() && c.mode != KaMeasModeRektConnect)
        return Refuse(c, KaMeasErrOtherPhoto);

    if (c.measId != 0 && point.GetId() == 0)
        point.SetId(c.maxMeasId != 0 ? std::min(c.measId, c.maxMeasId) : c.measId);

    if (m_cancelPending) {
        DeleteMeasurements(KaTempMeasureId);
        m_cancelPending = false;
    }

    switch (c.mode) {
    case KaMeasModePreReseauSize:
        if (photo->CountMeasure() == 0 && c.lastEvent.digitizer)
            photo->SetDigitizer(c.lastEvent.digitizer->GetId());
        point.SetId(photo->GetFreeBikoId());
        photo->AddMeasure(point, CB_NONE);
        c.measureLink.Call(this);
        break;

    case KaMeasModePreReseauCross:
        SetDirty(true);
        photo->AddMeasure(point, CB_NONE);
        AddMeasureAsDrawItemSymbol(c);
        c.measureLink.Call(this);
        break;

    case KaMeasModeReseau: {
        KaReseauFile const* file = GetReseaufile(photo);
        KaPoint converted(point);
        photo->ConvertBiko(&converted, CB_PIXEL_TO_PRE);
        double distance = 0.0;
        KaPoint const* cross = file->FindNearest(converted, &distance);
        if (!cross)
            return Refuse(c, KaMeasErrNoReseauCross);
        point.SetId(cross->GetId());
        if (distance > c.reseauMaxDeviation) {
            if (!c.reseauAskOnDeviation)
                return false;
            c.errorCode = KaMeasErrReseauDeviation;
            if (!DlgMeasureWarning())
                return false;
        }
        AddMeasureToPhoto(c);
        c.measureLink.Call(this);
        break;
    }

    case KaMeasModeDefRekt: {
        SetDirty(true);
        if (!TestPhotoActive(c))
            return false;
        unsigned int& next = photo->AktBikoId();
        if (c.measId != 0) {
            next = c.maxMeasId != 0 && c.measId >= c.maxMeasId ? 1 : c.measId + 1;
            c.measId = 0;
        } else {
            if (next == 0)
                next = c.maxMeasId != 0 ? 1 : photo->GetFreeBikoId();
            point.SetId(next);
            next = c.maxMeasId != 0 && next >= c.maxMeasId ? 1 : next + 1;
            c.measId = next;
            c.measIdLink.Call(&c);
            if (!IsOnStack(&c))
                return false;
        }
        AddMeasureToPhoto(c);
        c.measureLink.Call(this);
        break;
    }

    case KaMeasModeDefRektBounds:
        SetDirty(true);
        if (!TestPhotoActive(c))
            return false;
        NumberFromPhoto(c, photo);
        ReportAndAdvance(c, photo->GetId());
        break;

    case KaMeasModeRektConnect:
        SetDirty(true);
        if (!TestPhotoActive(c))
            return false;
        if (photo->GetId() == c.boundPhotoId) {
            NumberFromPhoto(c, photo);
            AddMeasureToPhoto(c);
            ReportAndAdvance(c, photo->GetId());
        } else {
            ReceiveDigitzer2DData_ModeRekt(c, false);
        }
        break;

    case KaMeasModeRekt:
        ReceiveDigitzer2DData_ModeRekt(c, true);
        break;

    default:
        break;
    }
    return false;
}

void KaMeasure::NumberFromPhoto(KaMeasureControl& c, KaPhoto* photo) {
    unsigned int& next = photo->AktBikoId();
    if (c.measId != 0) {
        next = c.measId + 1;
    } else {
        if (next == 0)
            next = photo->GetFreeBikoId();
        c.lastEvent.point.SetId(next);
        ++next;
    }
}

void KaMeasure::ReportAndAdvance(KaMeasureControl& c, unsigned int photoId) {
    c.measureLink.Call(this);
    // The handler may have popped the control or removed the photo.
    if (!IsOnStack(&c))
        return;
    if (KaPhoto* photo = FindPhoto(photoId)) {
        c.measId = photo->AktBikoId();
        c.measIdLink.Call(&c);
    }
}

bool KaMeasure::ReceiveDigitzer2DData_ModeRekt(KaMeasureControl& c, bool display) {
    KaPhoto* photo = c.photo;
    if (!photo)
        return Refuse(c, KaMeasErrNoPhoto);
    c.lastEvent.point.SetId(KaTempMeasureId);
    if (photo->GetRektList().IsEmpty())
        return Refuse(c, KaMeasErrNoRektTrafo);
    AddMeasureToPhoto(c);
    KaPoint* stored = photo->FindMeasure(KaTempMeasureId);
    if (!stored)
        return false;
    KaRektTrafo const* trafo = photo->CountRektTrafo(stored, true) == 1
                                   ? photo->GetRektTrafo(stored, nullptr, true)
                                   : DlgSelectRektTrafo(photo, stored);
    if (!trafo) {
        DeleteMeasurements(KaTempMeasureId);
        return false;
    }
    // The image measurement stays on the photo; its object-space position is
    // the controller's current position.
    trafo->Transform(stored, &GetVWSPos());
    if (display)
        MCDisplay3D();
    return true;
}

bool KaMeasure::ReceiveDigitzer3dData(KaDigitizerEvent const&) {
    return false;
}

bool KaMeasure::ReceiveDigitzer3dData(KaPoint const& point) {
    return ReceiveDigitzer3dData(KaDigitizerEvent(nullptr, point, 0));
}

// ---------------------------------------------------------------------------
// Buttons

bool KaMeasure::SendDeviceCommand(unsigned int photoId, KaPoint const& point, int param) {
    CmdParam block(photoId, point, param);
    return DigitizerCommand(KaDigiCmdDevice, &block);
}

bool KaMeasure::InterpretDigikey(KaMeasureControl& c) {
    KaDigitizerEvent& event = c.lastEvent;
    if (event.digitizer && event.command == KaDigiBtnNone && event.button != 0)
        event.command = event.digitizer->GetButtonTable().InterpretButton(event.button);

    switch (event.command) {
    case KaDigiBtnCancel:
        c.cancelLink.Call(this);
        return true;
    case KaDigiBtnFunction2:
        if (c.mode != KaMeasModeHL103)
            c.funktionLink.Call(this);
        return true;
    case KaDigiBtnDisable:
        DisableDigitizer();
        return true;
    case KaDigiBtnEnable:
        EnableDigitizer();
        return true;
    case KaDigiBtnIdPlus1:
        StepMeasId(c, 1);
        return true;
    case KaDigiBtnIdPlus10:
        StepMeasId(c, 10);
        return true;
    case KaDigiBtnIdPlus100:
        StepMeasId(c, 100);
        return true;
    case KaDigiBtnIdMinus1:
        StepMeasId(c, -1);
        return true;
    case KaDigiBtnIdMinus10:
        StepMeasId(c, -10);
        return true;
    case KaDigiBtnIdMinus100:
        StepMeasId(c, -100);
        return true;
    case KaDigiBtnFunction:
        c.funktionLink.Call(this);
        return true;
    case KaDigiBtnDrive:
        DriveDigitizer(c);
        return true;
    case KaDigiBtnDeviceCommand:
        SendDeviceCommand(static_cast<unsigned int>(event.point.photoId), KaPoint(), 2);
        return true;
    default:
        return false;
    }
}

void KaMeasure::StepMeasId(KaMeasureControl& c, int step) {
    unsigned int const photoId = static_cast<unsigned int>(c.lastEvent.point.photoId);
    // Signed and wide: stepping down from small numbers must not wrap.
    std::int64_t const n = GetNextMeasId(photoId);
    std::int64_t const s = step;
    std::int64_t const size = s < 0 ? -s : s;
    std::int64_t id = 0;
    if (size == 1)
        id = n + s;
    else if (s > 0)
        id = n + s - n % s;
    else
        id = n % size != 0 ? n - n % size : n - size;
    id = std::clamp<std::int64_t>(id, 1, UINT32_MAX);
    c.measId = static_cast<unsigned int>(id);
    c.measIdLink.Call(&c);
    SendDeviceCommand(photoId, KaPoint(), 0);
}

void KaMeasure::DriveDigitizer(KaMeasureControl& c) {
    unsigned int const photoId = static_cast<unsigned int>(c.lastEvent.point.photoId);
    switch (c.mode) {
    case KaMeasModePreReseauSize:
    case KaMeasModePreReseauCross:
    case KaMeasModeReseau:
    case KaMeasModeOrient:
    case KaMeasModeErgmess:
        if (c.estimateBikoLink.Call(&c) && IsOnStack(&c))
            SendDeviceCommand(photoId, c.estimatedPoint, 1);
        break;
    case KaMeasModeDefRekt:
    case KaMeasModeRektConnect:
    case KaMeasModeRekt:
        SendDeviceCommand(photoId, KaPoint(), 1);
        break;
    case KaMeasModeHL101:
    case KaMeasModeHL102:
    case KaMeasModeHL103: {
        KaPoint target;
        KaPhoto const* photo = FindPhoto(photoId);
        if (photo) {
            photo->ConvertBiko(&target, CB_RESERVED_12);
            KaRegion region = photo->GetBikoRegion();
            region.Sort();
            if (!region.Overlap(&target))
                target = KaPoint();
        }
        SendDeviceCommand(photoId, target, 1);
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Storing

eDblMeas KaMeasure::TestDoubleMeasure(KaMeasureControl const& c, KaPoint& earlier) {
    KaPhoto* photo = c.photo;
    if (!photo)
        return KaDblMeasNone;
    KaPoint const& latest = c.lastEvent.point;
    KaPoint const* found = nullptr;
    eConvertBikoMode conversion = CB_NONE;
    switch (c.mode) {
    case KaMeasModeReseau:
        found = photo->FindMeasure(latest.GetId());
        conversion = CB_PIXEL_TO_PRE;
        break;
    case KaMeasModeDefRekt:
    case KaMeasModeRektConnect:
    case KaMeasModeRekt:
        found = photo->FindMeasure(latest.GetId());
        conversion = CB_PIXEL_TO_BIKO;
        break;
    case KaMeasModeHL101:
    case KaMeasModeHL102:
    case KaMeasModeHL103:
        found = photo->FindMeasure(latest.GetId());
        conversion = CB_PIXEL_TO_ADJUSTED;
        break;
    case KaMeasModeOrient:
    case KaMeasModeErgmess:
        found = photo->FindImo(latest.GetId());
        conversion = CB_PIXEL_TO_BIKO;
        break;
    default:
        return KaDblMeasNone;
    }
    if (!found)
        return KaDblMeasNone;
    earlier = *found;
    KaPoint converted(latest);
    photo->ConvertBiko(&converted, conversion);
    return DlgDoubleMeasure(photo, &earlier, &converted);
}

bool KaMeasure::AddMeasureToPhoto(KaMeasureControl& c) {
    KaPhoto* photo = c.photo;
    if (!photo)
        return true;
    KaPoint& point = c.lastEvent.point;
    KaPoint earlier;
    eDblMeas answer = TestDoubleMeasure(c, earlier);
    if (answer == KaDblMeasMean) {
        if (!GetMeasureDrawItemSymbolAsDigiCoord(&earlier, earlier.GetId(), photo)) {
            // Back into digitizer coordinates the way the point was stored.
            eConvertBikoMode back = CB_BIKO_TO_PIXEL;
            if (c.mode == KaMeasModeReseau)
                back = CB_PRE_TO_PIXEL;
            else if (IsModeHLMeasureMode(c.mode) && c.mode != KaMeasModeRekt)
                back = CB_ADJUSTED_TO_PIXEL;
            photo->ConvertBiko(&earlier, back);
        }
        point.x = (point.x + earlier.x) / 2.0;
        point.y = (point.y + earlier.y) / 2.0;
        answer = KaDblMeasReplace;
    }
    if (answer != KaDblMeasNone && answer != KaDblMeasReplace)
        return true;

    switch (c.mode) {
    case KaMeasModeReseau:
        AddMeasureAsDrawItemSymbol(c);
        photo->AddMeasure(point, CB_PIXEL_TO_PRE);
        break;
    case KaMeasModeOrient:
    case KaMeasModeErgmess:
        AddImoAsDrawItemSymbol(c);
        photo->AddImo(point, CB_PIXEL_TO_BIKO);
        break;
    case KaMeasModeDefRekt:
    case KaMeasModeRektConnect:
    case KaMeasModeRekt:
        AddMeasureAsDrawItemSymbol(c);
        photo->AddMeasure(point, CB_PIXEL_TO_BIKO);
        break;
    case KaMeasModeHL101:
    case KaMeasModeHL102:
    case KaMeasModeHL103:
        AddMeasureAsDrawItemSymbol(c);
        photo->AddMeasure(point, CB_PIXEL_TO_ADJUSTED);
        break;
    default:
        break;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Numbers, cancel, files

unsigned int KaMeasure::GetNextMeasId(unsigned int photoId) {
    return GetNextMeasId(FindPhoto(photoId));
}

unsigned int KaMeasure::GetNextMeasId(KaPhoto* photo) {
    unsigned int const id = GetControl()->measId;
    if (id != 0)
        return id;
    return photo ? photo->AktBikoId() : 0;
}

void KaMeasure::CancelMeasure() {
    GetControl()->cancelLink.Call(this);
    m_cancelPending = true;
}

bool KaMeasure::RemoveCurrentMeasurement() {
    DeleteMeasurements(KaTempMeasureId);
    return true;
}

KaReseauFile* KaMeasure::GetReseaufile(KaReseauDataDesc const& desc) {
    KaReseauFile* file = FindReseauFile(desc);
    if (!file)
        file = FindOrReadReseauFile(desc);
    if (!file) {
        String const answer = DlgLoadReseau(desc.GetName());
        if (!answer.empty())
            file = FindOrReadReseauFile(KaReseauDataDesc(answer, 0));
    }
    return file ? file : &m_dummyReseauFile;
}

KaReseauFile* KaMeasure::GetReseaufile(KaPhoto* photo) {
    return photo ? GetReseaufile(photo->ReseauData()) : &m_dummyReseauFile;
}

KaCameraList& KaMeasure::GetCameraFile() {
    if (GetCameraList().IsEmpty())
        LoadCameraFile();
    return GetCameraList();
}

String KaMeasure::LoadCameraFile() {
    String const answer = DlgLoadCamerafile(String());
    if (!answer.empty())
        ReadCameraFile(answer);
    return answer;
}

int KaMeasure::IsCameraFileLoaded() {
    return GetCameraList().Count();
}

bool KaMeasure::TestPhotoActive(KaMeasureControl& c) {
    if (c.photo && c.photo->IsActive())
        return true;
    return Refuse(c, KaMeasErrPhotoInactive);
}

bool KaMeasure::TestPhotoOrient(KaMeasureControl&) {
    return false;
}

bool KaMeasure::RecalcMeasureResult(KaMeasureControl&) {
    return false;
}

void KaMeasure::AddToCooList(KaPoint const&) {}

// ---------------------------------------------------------------------------
// Stack and project

bool KaMeasure::MCIsDigitizerEnabled() {
    return IsDigitizerEnabled();
}

bool KaMeasure::MCEnableDigitizer() {
    return EnableDigitizer();
}

bool KaMeasure::MCDisableDigitizer() {
    return DisableDigitizer();
}

bool KaMeasure::MCDeletePhotoMeasureLists() {
    return false;
}

void KaMeasure::NotifyProjectHasChanged() {
    NotifyDigitizerProjectChanged();
    MCNotifyProjectHasChanged();
}

// ---------------------------------------------------------------------------
// User-interface hooks: inert here.

void KaMeasure::AddToMeasureDrawItemSymbol(KaPoint const&, KaPhoto*, eConvertBikoMode) {}
void KaMeasure::AddToImoDrawItemSymbol(KaPoint const&, KaPhoto*, eConvertBikoMode) {}
void KaMeasure::AddMeasureAsDrawItemSymbol(KaMeasureControl const&) {}
void KaMeasure::AddImoAsDrawItemSymbol(unsigned int, KaPhoto*) {}
void KaMeasure::AddImoAsDrawItemSymbol(KaMeasureControl const&) {}
void KaMeasure::DeleteImoDrawItemSymbol(unsigned int, KaPhoto*, bool) {}

bool KaMeasure::GetImoDrawItemSymbolAsDigiCoord(KaPoint*, unsigned int, KaPhoto*) {
    return false;
}

bool KaMeasure::GetMeasureDrawItemSymbolAsDigiCoord(KaPoint*, unsigned int, KaPhoto*) {
    return false;
}

void KaMeasure::ShowRektPlanes(unsigned int) {}
void KaMeasure::HideRektPlanes(unsigned int) {}

bool KaMeasure::IsPhotoVisible(KaPhoto*) {
    return false;
}

bool KaMeasure::DlgMeasureError() {
    return false;
}

bool KaMeasure::DlgMeasureWarning() {
    return false;
}

bool KaMeasure::DlgMeasureUserQuestion() {
    return false;
}

void KaMeasure::GuiMeasureBeep() {}

String KaMeasure::DlgLoadReseau(String const&) {
    return String();
}

String KaMeasure::DlgLoadCamerafile(String const&) {
    return String();
}

eDblMeas KaMeasure::DlgDoubleMeasure(KaPhoto const*, KaPoint const*, KaPoint const*) {
    return KaDblMeasNone;
}

KaRektTrafo* KaMeasure::DlgSelectRektTrafo(KaPhoto*, KaPoint*) {
    return nullptr;
}

void KaMeasure::ShowMeasureControl() {}
void KaMeasure::HideMeasureControi() {}
void KaMeasure::MCDisplay3D() {}
void KaMeasure::MCNotifyProjectHasChanged() {}
void KaMeasure::ShowProgrammButtons() {}
void KaMeasure::HideProgranmmButtons() {}
void KaMeasure::SendToOtherPrograms(KaPoint const&) {}
void KaMeasure::LoadAttrImage(unsigned int) {}

bool KaMeasure::IsAttrImageValid(unsigned int) {
    return false;
}
