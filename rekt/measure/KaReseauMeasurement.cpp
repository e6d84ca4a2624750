#include "measure/KaReseauMeasurement.h"

#include "geometry/KaRegion.h"
#include "measure/KaDigitizer.h"
#include "measure/KaMeasure.h"
#include "measure/KaMeasureControl.h"
#include "model/KaAttribute.h"
#include "model/KaDetectTarvoFiles.h"
#include "numerics/KaMatrix.h"
#include "project/KaProject.h"
#include "rekt/KaRektTrafo.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The pre-measurement steps of a mode, in order.
std::vector<ePreReseauMeasureStep> PreSequence(ePreReseaumode mode) {
    switch (mode) {
    case KaPreReseauDigital:
        return {KaPreStepFirstCross, KaPreStepImageSize, KaPreStepCross2, KaPreStepDone};
    case KaPreReseauDigitalCamera:
        return {KaPreStepFirstCross, KaPreStepImageSize, KaPreStepDone};
    default:
        return {KaPreStepCorner1, KaPreStepCorner2, KaPreStepCross1, KaPreStepCross2, KaPreStepDone};
    }
}

// Photo assignment empties the point lists, transforms and attributes of the
// target; a project photo that takes edited settings keeps them.
void AssignKeepingLists(KaPhoto& target, KaPhoto const& source) {
    if (&target == &source)
        return;
    KaPointList measures, imos;
    KaRektTrafoList rekts;
    KaAttributeList attributes;
    target.GetMeasureList().MoveTo(&measures);
    target.GetImoList().MoveTo(&imos);
    target.GetRektList().MoveTo(&rekts);
    target.GetAttributeList().MoveTo(&attributes);
    unsigned int const aktBikoId = target.AktBikoId();
    target = source;
    measures.MoveTo(&target.GetMeasureList());
    imos.MoveTo(&target.GetImoList());
    rekts.MoveTo(&target.GetRektList());
    attributes.MoveTo(&target.GetAttributeList());
    target.AktBikoId() = aktBikoId;
}

// The four corners of a region as a ring, numbered 1 to 4.
std::vector<KaPoint> Ring(KaRegion const& r) {
    return {KaPoint(1, r.Left(), r.Bottom()), KaPoint(2, r.Right(), r.Bottom()),
            KaPoint(3, r.Right(), r.Top()), KaPoint(4, r.Left(), r.Top())};
}

void ClampToPixels(KaPoint& p, double width, double height) {
    p.x = std::min(std::max(p.x, 1.0), width - 1.0);
    p.y = std::min(std::max(p.y, 1.0), height - 1.0);
}

} // namespace

KaReseauMeasurement::KaReseauMeasurement(KaMeasure* measure, bool noControl)
    : m_measure(measure), m_noControl(noControl || !measure),
      m_calc(measure ? measure->GetProject() : nullptr) {
    m_editPhoto.SetReseauData(KaReseauDataDesc());
    if (m_noControl)
        return;
    FindFirstPhotoWithNoReseau();
    KaMeasureControl control;
    control.SetMeasureLink(Link(this, &KaReseauMeasurement::LnkHdlMeasure));
    control.SetTerminateLink(Link(this, &KaReseauMeasurement::LnkHdlTerminate));
    control.SetEstimateBikoLink(Link(this, &KaReseauMeasurement::LnkHdlEstimateBiko));
    m_control = m_measure->SetControl(control, true);
}

KaReseauMeasurement::~KaReseauMeasurement() {
    if (m_noControl)
        return;
    SendAutoMeasure(1, 0);
    ReleaseControl();
}

void KaReseauMeasurement::ReleaseControl() {
    KaMeasureControlStack& stack = *m_measure;
    void const* const self = static_cast<KaReseauMeasurement const*>(this);
    bool own = false;
    // Copies pushed on top of the own control carry its links as well.
    for (KaMeasureControl* c = stack.First(); c; c = c->Next()) {
        own = own || c == m_control;
        for (Link* link : {&c->measureLink, &c->cancelLink, &c->funktionLink, &c->resultLink, &c->measIdLink,
                           &c->estimateBikoLink, &c->pushLink, &c->popLink, &c->terminateLink})
            if (link->GetTarget() == self)
                *link = Link();
    }
    if (!own)
        return;
    if (stack.GetControl() == m_control)
        stack.PopControl(true);
    else if (stack.Count() > 1)
        delete stack.Subtract(m_control);
    m_control = nullptr;
}

KaProject* KaReseauMeasurement::Project() const {
    return m_measure ? m_measure->GetProject() : nullptr;
}

bool KaReseauMeasurement::HasProject() const {
    return Project() != nullptr;
}

KaMeasureControl* KaReseauMeasurement::CurrentControl() const {
    return m_measure ? m_measure->GetControl() : nullptr;
}

bool KaReseauMeasurement::SendAutoMeasure(unsigned int subCommand, unsigned int cross) {
    if (!m_measure)
        return false;
    CmdParam block(m_photo ? m_photo->GetId() : 0, subCommand, cross);
    return m_measure->DigitizerCommand(KaDigiCmdAutoMeasureCross, &block);
}

void KaReseauMeasurement::SetReseauDeviation(double maxDeviation, bool ask) {
    m_maxDeviation = maxDeviation;
    m_askOnDeviation = ask;
}

bool KaReseauMeasurement::GetMediumError(double& x, double& y) const {
    x = m_calc.GetResidualX();
    y = m_calc.GetResidualY();
    return true;
}

// ---------------------------------------------------------------------------
// Hooks: inert here.

bool KaReseauMeasurement::DlgNoValidProject() {
    return false;
}
bool KaReseauMeasurement::DlgNoReseaufileSelected() {
    return false;
}
bool KaReseauMeasurement::DlgNonExternPhotoExist() {
    return false;
}
bool KaReseauMeasurement::StartDlgReseauPhotoSelect() {
    return false;
}
bool KaReseauMeasurement::StopDlgReseauPhotoSelect() {
    return false;
}
bool KaReseauMeasurement::StartDlgReseauPreMeasure(ePreReseaumode) {
    return false;
}
bool KaReseauMeasurement::ShowStepDlgReseauPreMeasure(ePreReseauMeasureStep) {
    return false;
}
bool KaReseauMeasurement::UpdateDlgReseauPreMeasure(ePreReseauMeasureStep) {
    return false;
}
bool KaReseauMeasurement::StopDlgReseauPreMeasure() {
    return false;
}
bool KaReseauMeasurement::StartDlgReseauMeasure() {
    return false;
}
bool KaReseauMeasurement::StopDlgReseauMeasure() {
    return false;
}
bool KaReseauMeasurement::GetPhotoPixelSize(KaRegion*, int*) {
    return false;
}
KaReseauFile* KaReseauMeasurement::FindMatchingReseauFromImageData(int&) {
    return nullptr;
}

// ---------------------------------------------------------------------------
// Workflow

int KaReseauMeasurement::Start() {
    if (!HasProject()) {
        DlgNoValidProject();
        return 1;
    }
    m_measure->SetDirty(true);
    switch (m_mainStep) {
    case KaReseauStepIdle:
        m_fullRun = false;
        break;
    case KaReseauStepSelect:
        StopDlgReseauPhotoSelect();
        StartDlgReseauPhotoSelect();
        return 1;
    case KaReseauStepPreMeasure:
        StopDlgReseauPreMeasure();
        break;
    case KaReseauStepMeasure:
        StopDlgReseauMeasure();
        break;
    default:
        break;
    }
    m_mainStep = KaReseauStepSelect;
    StartDlgReseauPhotoSelect();
    return 1;
}

int KaReseauMeasurement::NextStep() {
    if (!HasProject()) {
        DlgNoValidProject();
        return 1;
    }
    switch (m_mainStep) {
    case KaReseauStepIdle:
        m_mainStep = KaReseauStepSelect;
        m_fullRun = false;
        StartDlgReseauPhotoSelect();
        break;
    case KaReseauStepSelect: {
        StopDlgReseauPhotoSelect();
        m_mainStep = KaReseauStepPreMeasure;
        ePreReseaumode mode = m_preMode;
        PreparePreReseaumeasure(mode);
        StartDlgReseauPreMeasure(mode);
        break;
    }
    case KaReseauStepPreMeasure:
        StopDlgReseauPreMeasure();
        m_mainStep = KaReseauStepMeasure;
        if (m_preStep != KaPreStepImageSize)
            PrepareReseaumeasure();
        StartDlgReseauMeasure();
        break;
    case KaReseauStepMeasure:
        StopDlgReseauMeasure();
        m_mainStep = KaReseauStepSelect;
        FindFirstPhotoWithNoReseau();
        StartDlgReseauPhotoSelect();
        break;
    default:
        break;
    }
    return 1;
}

int KaReseauMeasurement::PreviousStep() {
    if (!HasProject()) {
        DlgNoValidProject();
        return 1;
    }
    switch (m_mainStep) {
    case KaReseauStepIdle:
        m_fullRun = false;
        break;
    case KaReseauStepPreMeasure:
        StopDlgReseauPreMeasure();
        m_mainStep = KaReseauStepSelect;
        StartDlgReseauPhotoSelect();
        break;
    case KaReseauStepMeasure:
        StopDlgReseauMeasure();
        m_mainStep = KaReseauStepIdle;
        break;
    default:
        break;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Link handlers

long KaReseauMeasurement::LnkHdlMeasure(void*) {
    if (m_mainStep == KaReseauStepMeasure) {
        if (!m_autoRunning)
            CalcMainReseau();
        return 1;
    }
    if (m_mainStep != KaReseauStepPreMeasure || !m_photo)
        return 1;

    KaPhoto* photo = m_photo;
    if (m_preStep == KaPreStepFirstCross) {
        m_firstPoint = photo->LastMeasure() ? *photo->LastMeasure() : KaPoint();
        photo->DestroyMeasure();
        m_preStep = KaPreStepImageSize;
        m_measure->MeasurePhotoSize(photo->GetId());
        return 1;
    }
    if (m_preStep == KaPreStepImageSize) {
        if (photo->CountMeasure() != 2)
            return 1;
        AktivatePreMeasPhoto();
        if (m_preMode == KaPreReseauDigitalCamera) {
            MeasureCornerCrosses();
            if (!m_fullRun)
                NextStep();
        } else {
            KaPoint first(m_firstPoint);
            first.SetId(GetCross1());
            photo->AddMeasure(first, CB_NONE);
            m_preStep = KaPreStepCross2;
            m_measure->AddToMeasureDrawItemSymbol(first, photo, CB_NONE);
            CurrentControl()->AssignMeasId(GetCross2(), false);
            ShowStepDlgReseauPreMeasure(KaPreStepCross2);
        }
        return 1;
    }

    std::vector<ePreReseauMeasureStep> const sequence = PreSequence(m_preMode);
    auto const at = std::find(sequence.begin(), sequence.end(), m_preStep);
    if (at == sequence.end() || at + 1 == sequence.end())
        return 1;
    ePreReseauMeasureStep const step = *at;
    ePreReseauMeasureStep const next = *(at + 1);
    if (next == KaPreStepCross1)
        AktivatePreMeasPhoto();
    if (next == KaPreStepCross1)
        CurrentControl()->AssignMeasId(GetCross1(), false);
    else if (next == KaPreStepCross2)
        CurrentControl()->AssignMeasId(GetCross2(), false);
    UpdateDlgReseauPreMeasure(step);
    m_preStep = next;
    if (next == KaPreStepDone)
        NextStep();
    else
        ShowStepDlgReseauPreMeasure(next);
    return 1;
}

long KaReseauMeasurement::LnkHdlEstimateBiko(void* arg) {
    auto* control = static_cast<KaMeasureControl*>(arg);
    if (!control || !m_reseauFile)
        return 0;
    KaPointList const& crosses = m_reseauFile->GetCrossList();

    if (m_mainStep == KaReseauStepMeasure) {
        KaPhoto const* photo = control->photo;
        if (!photo)
            return 0;
        KaPoint point(control->lastEvent.point);
        photo->ConvertBiko(&point, CB_PIXEL_TO_BIKO);
        KaPoint const* cross = m_reseauFile->FindNearest(point, nullptr);
        if (!cross)
            return 0;
        control->estimatedPoint = *cross;
        return 1;
    }
    if (m_mainStep != KaReseauStepPreMeasure || !m_photo)
        return 0;

    KaPhoto* photo = m_photo;
    unsigned int const target = photo->CountMeasure() > 0 ? GetCross2() : GetCross1();
    KaPoint const* nominal = crosses.Find(target, 0);
    if (!nominal)
        return 0;

    KaRegion reseau;
    bool first = true;
    for (KaPoint const* c = crosses.First(); c; c = c->Next()) {
        if (first)
            reseau.Set(c->x, c->y, c->x, c->y);
        else
            reseau.Union(KaRegion(c->x, c->y, c->x, c->y));
        first = false;
    }
    // A reseau of the small-format size is estimated over the picture format.
    if (std::fabs(std::hypot(reseau.Width(), reseau.Height()) - 48.8) < 1.7)
        reseau.Set(-17.5, -11.5, 17.5, 11.5);

    KaRegion pixels;
    int rotation = 0;
    if (!GetPhotoPixelSize(&pixels, &rotation))
        return 0;
    double const width = pixels.Width() <= 1.0 ? 1.0 : pixels.Width();
    double const height = pixels.Height() <= 1.0 ? 1.0 : pixels.Height();

    KaProject const* project = Project();
    if (project) {
        for (KaPhoto const* other = project->FirstPhoto(); other; other = other->Next()) {
            if (other->GetId() == photo->GetId() || other->GetReseauTrafoType() == KaTrafo2DNone ||
                !(other->ReseauData() == photo->ReseauData()) ||
                other->GetDigPictRot() != photo->GetDigPictRot())
                continue;
            if (std::fabs(other->GetDigiRegion().Width() / width - 1.0) >= 0.05)
                continue;
            KaPoint estimate(*nominal);
            other->ConvertBiko(&estimate, CB_BIKO_TO_PIXEL);
            ClampToPixels(estimate, width, height);
            photo->ConvertBiko(&estimate, CB_PIXEL_TO_BIKO);
            control->estimatedPoint = estimate;
            return 1;
        }
    }

    // No measured photo of the same kind: map the picture corners onto the reseau.
    std::vector<KaPoint> pixelRing = Ring(pixels);
    std::vector<KaPoint> const reseauRing = Ring(reseau);
    int const turns = (((rotation + photo->GetDigPictRot()) % 4) + 4) % 4;
    std::rotate(pixelRing.begin(), pixelRing.begin() + turns, pixelRing.end());
    KaPointList pixelCorners, reseauCorners;
    for (std::size_t i = 0; i < pixelRing.size(); ++i) {
        pixelRing[i].SetId(static_cast<unsigned int>(i + 1));
        pixelCorners.Add(new KaPoint(pixelRing[i]));
        reseauCorners.Add(new KaPoint(reseauRing[i]));
    }
    KaCalcTrafo2D fit(&reseauCorners);
    if (!fit.CalcTrafoAffin(&pixelCorners))
        return 0;
    KaMatrix matrix(3, 3);
    fit.BuildMatrix(&matrix);
    int error = 0;
    matrix.Invert(&error);
    if (error != 0)
        return 0;
    KaPoint estimate(*nominal);
    if (!matrix.PTrans2D(&estimate))
        return 0;
    ClampToPixels(estimate, width, height);
    photo->ConvertBiko(&estimate, CB_PIXEL_TO_BIKO);
    control->estimatedPoint = estimate;
    return 1;
}

long KaReseauMeasurement::LnkHdlTerminate(void*) {
    delete this;
    return 1;
}

long KaReseauMeasurement::LnkHdlCancel(void*) {
    return 1;
}

// ---------------------------------------------------------------------------
// Photo choice

void KaReseauMeasurement::EditProjectPhoto(KaPhoto* photo) {
    m_photo = photo;
    m_editPhoto = *photo;
    SelectOrLoadReseaufile(&m_editPhoto);
}

int KaReseauMeasurement::FindFirstPhotoWithNoReseau() {
    if (!m_measure)
        return 0;
    // The controller's owner removes this project with DeleteProject.
    if (!m_measure->IsProjectValid())
        m_measure->SetProject(new KaProject);
    m_calc.SetProject(Project());
    for (KaPhoto* photo = m_measure->FirstPhoto(); photo; photo = photo->Next()) {
        if (photo->GetReseauPreTrafo().GetType() == KaTrafo2DNone) {
            EditProjectPhoto(photo);
            return 1;
        }
    }
    return MakeNewEditPhoto(static_cast<int>(m_measure->GetPhotoList().GetFreeId(0)));
}

int KaReseauMeasurement::MakeNewEditPhoto(int number) {
    m_photo = nullptr;
    m_editPhoto = KaPhoto(static_cast<unsigned int>(number));
    m_editPhoto.SetReseauData(KaReseauDataDesc());
    SelectOrLoadReseaufile(&m_editPhoto);
    return 1;
}

int KaReseauMeasurement::GuiNextPhoto() {
    if (!HasProject())
        return 0;
    KaPhoto* next = m_photo ? m_photo->Next() : nullptr;
    if (!next)
        next = m_measure->FirstPhoto();
    if (!next)
        return MakeNewEditPhoto(1);
    EditProjectPhoto(next);
    return 1;
}

int KaReseauMeasurement::GuiPrevPhoto() {
    if (!HasProject())
        return 0;
    KaPhoto* previous = m_photo ? m_photo->Previous() : nullptr;
    if (!previous)
        previous = m_measure->LastPhoto();
    if (!previous)
        return MakeNewEditPhoto(1);
    EditProjectPhoto(previous);
    return 1;
}

int KaReseauMeasurement::GuiSelectPhoto(int number) {
    if (!HasProject())
        return 0;
    // The edit photo is handed on, as everywhere: its descriptor is the one
    // the pre-measurement puts on the project photo.
    if (KaPhoto* photo = m_measure->FindPhoto(static_cast<unsigned int>(number))) {
        EditProjectPhoto(photo);
        return 1;
    }
    return MakeNewEditPhoto(number);
}

int KaReseauMeasurement::GuiEditPhotoToProject() {
    if (!IsValidReseaufile() || !HasProject()) {
        DlgNoReseaufileSelected();
        return 0;
    }
    if (KaPhoto* photo = m_measure->FindPhoto(m_editPhoto.GetId())) {
        AssignKeepingLists(*photo, m_editPhoto);
        m_photo = photo;
    } else {
        m_photo = m_measure->AddPhoto(m_editPhoto);
    }
    return 1;
}

int KaReseauMeasurement::GuiEditPhotoAsExternToProject() {
    if (!IsValidReseaufile() || !HasProject()) {
        DlgNoReseaufileSelected();
        return 0;
    }
    if (m_measure->FindPhoto(m_editPhoto.GetId())) {
        DlgNonExternPhotoExist();
        return 0;
    }
    m_editPhoto.SetActiveFlag(2);
    m_measure->AddPhoto(m_editPhoto);
    return 1;
}

int KaReseauMeasurement::RestorePhotoInProject() {
    if (!m_photo)
        return 0;
    AssignKeepingLists(*m_photo, m_editPhoto);
    return 1;
}

// ---------------------------------------------------------------------------
// Reseau file choice

void KaReseauMeasurement::UseReseaufile(KaReseauFile* file) {
    m_reseauFile = file ? file : m_measure->GetDummyReseaufile();
    if (GetSelectedReseauCrosses() != 2)
        SelectCornerReseauCrosses();
    m_editPhoto.SetReseauData(GetReseauData());
}

KaReseauFile* KaReseauMeasurement::LoadReseaufile(String const& name, bool selectCrosses) {
    if (!HasProject())
        return nullptr;
    KaReseauFile* file = nullptr;
    if (name.empty()) {
        file = m_measure->GetReseaufile(KaReseauDataDesc());
    } else if (KaDetectTarvoFiles(name).DetectByExtension() == FT_RES) {
        file = m_measure->GetReseaufile(KaReseauDataDesc(name, 0));
    } else {
        int index = 0;
        file = FindMatchingReseauFromImageData(index);
        if (!file)
            file = m_measure->FirstReseaufile();
    }
    m_reseauFile = file ? file : m_measure->GetDummyReseaufile();
    if (file && selectCrosses)
        UseReseaufile(file);
    return file;
}

int KaReseauMeasurement::SelectOrLoadReseaufile(KaPhoto* photo) {
    if (!photo || !m_measure)
        return 0;
    KaReseauFile* dummy = m_measure->GetDummyReseaufile();
    String const& name = photo->ReseauData().GetName();
    if (name.empty() || fcompare(name, dummy->GetName()) == 0) {
        LoadReseaufile(String(), true);
        photo->SetReseauData(GetReseauData());
    } else if (KaReseauFile* known = m_measure->FindReseauFile(photo->ReseauData())) {
        // The photo's own entry, sub-id included (a digital-camera entry has no
        // file name to detect).
        UseReseaufile(known);
    } else {
        LoadReseaufile(name, true);
    }
    if (!m_reseauFile)
        m_reseauFile = dummy;
    return IsValidReseaufile() ? 1 : 0;
}

int KaReseauMeasurement::GuiNextReseaufile() {
    if (!HasProject())
        return 0;
    KaReseaufileList& list = m_measure->GetReseaufileList();
    KaReseauFile* next = m_reseauFile && list.Exist(m_reseauFile) ? m_reseauFile->Next() : nullptr;
    UseReseaufile(next ? next : list.First());
    return 1;
}

int KaReseauMeasurement::GuiPrevReseaufile() {
    if (!HasProject())
        return 0;
    KaReseaufileList& list = m_measure->GetReseaufileList();
    KaReseauFile* previous = m_reseauFile && list.Exist(m_reseauFile) ? m_reseauFile->Previous() : nullptr;
    UseReseaufile(previous ? previous : list.Last());
    return 1;
}

bool KaReseauMeasurement::IsValidReseaufile() const {
    return m_reseauFile && m_measure && m_reseauFile != m_measure->GetDummyReseaufile();
}

KaReseauDataDesc KaReseauMeasurement::GetReseauData() const {
    return m_reseauFile ? KaReseauDataDesc(m_reseauFile) : KaReseauDataDesc();
}

bool KaReseauMeasurement::IsDigitalCameraReseau() const {
    if (!m_reseauFile || m_reseauFile->GetCrossList().Count() != 4)
        return false;
    for (KaPoint const* cross = m_reseauFile->GetCrossList().First(); cross; cross = cross->Next())
        if (cross->controlFlags != 2)
            return false;
    return true;
}

// ---------------------------------------------------------------------------
// Crosses

int KaReseauMeasurement::GetSelectedReseauCrosses() {
    m_crosses.fill(0);
    return m_reseauFile ? m_reseauFile->FindUserSelectedCrosses(m_crosses.data(), MaxCrosses) : 0;
}

void KaReseauMeasurement::SelectCornerReseauCrosses() {
    m_crosses.fill(0);
    if (!m_reseauFile)
        return;
    unsigned int ids[2] = {0, 0};
    if (m_reseauFile->FindCrossId(ids[0], ids[1]))
        m_reseauFile->SelectCross(ids, 2);
    m_crosses[0] = ids[0];
    m_crosses[1] = ids[1];
}

void KaReseauMeasurement::GuiSelectReseaucrosses(unsigned int& cross1, unsigned int& cross2) {
    if (!m_reseauFile)
        return;
    unsigned int const ids[2] = {cross1, cross2};
    m_reseauFile->SelectCross(ids, 2);
    GetSelectedReseauCrosses();
    cross1 = m_crosses[0];
    cross2 = m_crosses[1];
}

// ---------------------------------------------------------------------------
// Calculation steps

int KaReseauMeasurement::PreparePreReseaumeasure(ePreReseaumode& mode) {
    if (!IsValidReseaufile() || !HasProject()) {
        DlgNoReseaufileSelected();
        return 0;
    }
    if (!m_photo) {
        m_editPhoto.SetType(KaPhotoAnalog);
        m_photo = m_measure->AddPhoto(m_editPhoto);
    }
    m_photo->SetReseauData(m_editPhoto.ReseauData());
    m_editPhoto = *m_photo;

    if (m_photo->IsDigital()) {
        mode = KaPreReseauDigital;
        m_preStep = KaPreStepFirstCross;
        for (KaPoint const* cross = m_reseauFile->GetCrossList().First(); cross; cross = cross->Next())
            if (cross->controlFlags == 2)
                mode = KaPreReseauDigitalCamera;
    } else {
        mode = KaPreReseauAnalog;
        m_preStep = KaPreStepCorner1;
    }
    m_preMode = mode;

    GetSelectedReseauCrosses();
    m_measure->StartDigitizer(m_photo);
    m_measure->EnableDigitizer();
    m_photo->DestroyMeasure();
    CurrentControl()->SetPreReseauSizeMode(m_photo->GetId());

    if (m_photo->IsDigital()) {
        m_measure->ShowPhoto(m_photo->GetId());
        if (mode != KaPreReseauDigitalCamera)
            StartAutoMeasureCrossBelowMouse();
    }
    return 1;
}

int KaReseauMeasurement::AktivatePreMeasPhoto() {
    KaPhoto* photo = m_photo;
    if (!photo || !HasProject())
        return 0;
    if (photo->FirstMeasure() && photo->LastMeasure())
        photo->SetDigiRegion(KaRegion(*photo->FirstMeasure(), *photo->LastMeasure()));
    if (photo->IsAnalog()) {
        photo->SetActiveFlag(0);
        KaRegion const& region = photo->GetDigiRegion();
        for (KaPhoto* other = m_measure->FirstPhoto(); other; other = other->Next())
            if (other != photo && other->IsActive() && other->GetDigitizerId() == photo->GetDigitizerId() &&
                other->Overlap(&region))
                other->SetActiveFlag(1);
    }
    photo->DestroyMeasure();
    m_measure->GetPhotoList().NotifyChanged(photo, nullptr);
    CurrentControl()->SetPreResauCrossMode(photo->GetId());
    return 1;
}

int KaReseauMeasurement::MeasureCornerCrosses() {
    KaPhoto* photo = m_photo;
    if (!photo || !m_reseauFile)
        return 0;
    std::vector<KaPoint> ring = Ring(photo->GetDigiRegion());
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < ring.size(); ++i)
        if (ring[i].Distance(m_firstPoint) < ring[nearest].Distance(m_firstPoint))
            nearest = i;

    KaPoint cross1 = ring[nearest];
    KaPoint cross2 = ring[(nearest + 2) % 4];
    cross1.SetId(GetCross1());
    cross2.SetId(GetCross2());
    photo->AddMeasure(cross1, CB_NONE);
    photo->AddMeasure(cross2, CB_NONE);
    if (!PrepareReseaumeasure())
        return 0;

    for (std::size_t k : {(nearest + 1) % 4, (nearest + 3) % 4}) {
        KaPoint corner = ring[k];
        photo->ConvertBiko(&corner, CB_PIXEL_TO_PRE);
        KaPoint const* cross = m_reseauFile->FindNearest(corner, nullptr);
        if (!cross)
            continue;
        corner.SetId(cross->GetId());
        photo->AddMeasure(corner, CB_NONE);
    }
    CalcMainReseau();
    return 1;
}

int KaReseauMeasurement::PrepareReseaumeasure() {
    if (!m_photo)
        return 0;
    m_calc.SetProject(Project());
    m_calc.CalcPhotoAngle(m_photo);
    if (!m_calc.CalcReseautrafo(m_photo, true, KaTrafo2DHelmert))
        return 0;
    m_calc.ReplacePointCoords(&m_photo->GetMeasureList());
    // From here on every position is a cross, numbered after the nearest nominal one.
    CurrentControl()->SetReseauMode(m_maxDeviation, m_askOnDeviation);
    return 1;
}

int KaReseauMeasurement::CalcMainReseau() {
    if (!m_photo)
        return 0;
    m_calc.SetProject(Project());
    bool const fitted = m_calc.CalcReseautrafo(m_photo, false, m_actualTrafo);
    KaPointList& list = m_photo->GetMeasureList();
    list.ForceNotify();
    list.NotifyChanged(nullptr, nullptr);
    return fitted ? 1 : 0;
}

eKaTrafo2DType KaReseauMeasurement::SuggestReseautrafo() {
    return m_calc.SuggestReseautrafo(m_photo);
}

int KaReseauMeasurement::SetActualTrafo(eKaTrafo2DType type) {
    m_actualTrafo = type;
    return CalcMainReseau();
}

eKaTrafo2DType KaReseauMeasurement::GetActualTrafo() const {
    return m_photo ? m_photo->GetReseauTrafoType() : KaTrafo2DNone;
}

int KaReseauMeasurement::DeleteWrongMeasuredCrossesWithMaxError(double maxX, double maxY) {
    if (!m_photo)
        return 0;
    if (maxX == 0.0)
        maxX = 3.0 * m_calc.GetResidualX();
    if (maxY == 0.0)
        maxY = 3.0 * m_calc.GetResidualY();
    KaPoint* worst = m_photo->FindMeasure(m_calc.GetMaxError());
    if (!worst)
        return 0;
    // Residuals of an exact fit are rounding noise, however they compare with
    // three times a mean error of the same noise.
    constexpr double Noise = 1e-9;
    if (std::fabs(worst->dx) <= std::max(maxX, Noise) && std::fabs(worst->dy) <= std::max(maxY, Noise))
        return 0;
    delete m_photo->SubtractMeasure(worst);
    CalcMainReseau();
    return 1;
}

int KaReseauMeasurement::DeleteWrongMeasuredCrosses() {
    int deleted = 0;
    while (DeleteWrongMeasuredCrossesWithMaxError(0.0, 0.0) != 0)
        ++deleted;
    return deleted;
}

int KaReseauMeasurement::DeleteMeasures() {
    if (!m_photo)
        return 0;
    m_photo->DestroyMeasure();
    return 1;
}

int KaReseauMeasurement::FinishPhotoInProject() {
    if (!m_photo || !HasProject())
        return 0;
    if (m_photo->GetReseauTrafoType() == KaTrafo2DPolynomial)
        m_calc.CalcInvPolynomTrafo(m_photo);
    m_photo->SetActiveFlag(0);
    m_calc.WriteReseauLogFile(m_photo);
    m_photo->DestroyMeasure();
    m_measure->GetPhotoList().NotifyChanged(m_photo, nullptr);
    return 1;
}

// ---------------------------------------------------------------------------
// Digital photos

int KaReseauMeasurement::DoFullDigitalReseauMeasurement() {
    if (!m_photo || !m_photo->IsDigital())
        return 0;
    StopDlgReseauPreMeasure();
    m_fullRun = true;
    KaMeasureControl fresh;
    fresh.photo = m_photo;
    if (!LnkHdlEstimateBiko(&fresh)) {
        // Without a position for the first cross the user measures it.
        m_fullRun = false;
        StartDlgReseauPreMeasure(m_preMode);
        return 0;
    }
    KaPoint first(fresh.estimatedPoint);
    if (m_photo->IsActive())
        m_photo->ConvertBiko(&first, CB_BIKO_TO_PIXEL);
    first.SetId(m_photo->GetFreeBikoId());
    m_photo->AddMeasure(first, CB_NONE);
    LnkHdlMeasure(m_measure);
    DoAutoMeasureCross();
    SetActualTrafo(SuggestReseautrafo());
    FinishPhotoInProject();
    m_fullRun = false;
    m_mainStep = KaReseauStepSelect;
    FindFirstPhotoWithNoReseau();
    StartDlgReseauPhotoSelect();
    return 0;
}

int KaReseauMeasurement::DoAutoMeasureCross() {
    if (!m_photo || !m_photo->IsDigital())
        return 0;
    KaPhoto* photo = m_photo;
    photo->GetMeasureList().SetNotify(false);
    m_autoRunning = true;
    bool const ask = CurrentControl()->reseauAskOnDeviation;
    CurrentControl()->reseauAskOnDeviation = false;
    SendAutoMeasure(2, 0);
    // The user's choice comes back, whatever it was.
    CurrentControl()->reseauAskOnDeviation = ask;
    m_autoRunning = false;
    photo->GetMeasureList().SetNotify(true);
    m_actualTrafo = KaTrafo2DHelmert;
    CalcMainReseau();
    return 1;
}

int KaReseauMeasurement::StartAutoMeasureCrossBelowMouse() {
    return SendAutoMeasure(0, GetCross1()) ? 1 : 0;
}

int KaReseauMeasurement::StopAutoMeasureCrossBelowMouse() {
    return SendAutoMeasure(1, 0) ? 1 : 0;
}

bool KaReseauMeasurement::CanAutoMeasureCrossBelowMouse() const {
    return m_photo && m_photo->IsDigital() && m_preMode != KaPreReseauDigitalCamera;
}

int KaReseauMeasurement::RotateDigitalPhoto(int quarterTurns) {
    if (!m_measure)
        return 0;
    CmdParam block(m_photo ? m_photo->GetId() : 0, static_cast<unsigned int>(quarterTurns));
    return m_measure->DigitizerCommand(KaDigiCmdRotatePhoto, &block) ? 1 : 0;
}
