#include "measure/KaDigitizer.h"

#include "model/KaPhoto.h"
#include "project/KaProject.h"

// KaButtonCommandInterpreter

KaButtonCommandInterpreter::KaButtonCommandInterpreter()
    : m_pairs{{KaDigiBtnIdPlus1, 'f'},      {KaDigiBtnIdPlus10, 'e'},  {KaDigiBtnIdPlus100, 'd'},
              {KaDigiBtnIdMinus1, 'c'},     {KaDigiBtnIdMinus10, 'b'}, {KaDigiBtnIdMinus100, 'a'},
              {KaDigiBtnFunction, 0},       {KaDigiBtnDisable, 0},     {KaDigiBtnEnable, 0},
              {KaDigiBtnCancel, 0},         {KaDigiBtnFunction2, 0},   {KaDigiBtnDrive, 'X'},
              {KaDigiBtnDeviceCommand, 'A'}} {}

KaButtonCommandInterpreter::~KaButtonCommandInterpreter() = default;

eDigiButtonCommand KaButtonCommandInterpreter::InterpretButton(int code) const {
    for (auto const& [command, c] : m_pairs)
        if (c == code)
            return command;
    return KaDigiBtnNone;
}

eDigiButtonCommand KaButtonCommandInterpreter::GetButtonCommand(int index) const {
    if (index < 0 || index >= GetNbrButtonEntrys())
        return KaDigiBtnNone;
    return m_pairs[static_cast<std::size_t>(index)].first;
}

int KaButtonCommandInterpreter::GetButtonCode(int index) const {
    if (index < 0 || index >= GetNbrButtonEntrys())
        return 0;
    return m_pairs[static_cast<std::size_t>(index)].second;
}

int KaButtonCommandInterpreter::GetButtonCode(eDigiButtonCommand command) const {
    for (auto const& [c, code] : m_pairs)
        if (c == command)
            return code;
    return 0;
}

void KaButtonCommandInterpreter::SetButtonCommand(eDigiButtonCommand command, int code) {
    for (auto& pair : m_pairs) {
        if (pair.first == command) {
            pair.second = code;
            return;
        }
    }
    m_pairs.emplace_back(command, code);
}

// KaDigitizerEvent

KaDigitizerEvent::~KaDigitizerEvent() = default;

int KaDigitizerEvent::GetCaps() const {
    return digitizer ? digitizer->GetCaps() : 0;
}

// KaDigitizer

KaDigitizer::KaDigitizer(KaVirtualDigitizer* hub, int caps) : m_hub(hub), m_caps(caps) {
    if (m_hub) {
        SetId(m_hub->SuggestDigitizerId(caps));
        m_hub->Add(this);
    } else {
        SetId(KaVirtualDigitizer::PreferredDigitizerId(caps));
    }
}

KaDigitizer::KaDigitizer(KaDigitizer const& other) = default;

KaDigitizer& KaDigitizer::operator=(KaDigitizer const& other) = default;

KaDigitizer::~KaDigitizer() {
    // Subtract refuses a node that is not linked into the hub (a copy, or one
    // the hub is deleting right now), so this only acts on an early delete.
    if (m_hub)
        m_hub->Subtract(this);
}

bool KaDigitizer::StartDigitizer() {
    m_started = true;
    return m_started;
}

bool KaDigitizer::StopDigitizer() {
    m_started = false;
    return !m_started;
}

bool KaDigitizer::Send2D(KaPoint const& point, int button) {
    if (!m_hub || !m_hub->IsDigitizerEnabled())
        return false;
    KaDigitizerEvent const event(this, point, button);
    return m_hub->ReceiveDigitzer2DData(event);
}

bool KaDigitizer::Send3D(KaPoint const& point, int button) {
    if (!m_hub || !m_hub->IsDigitizerEnabled())
        return false;
    KaDigitizerEvent const event(this, point, button);
    return m_hub->ReceiveDigitzer3dData(event);
}

bool KaDigitizer::NotifyDigitizerEnabledChanged() {
    return false;
}

bool KaDigitizer::NotifyProjectChanged() {
    return false;
}

bool KaDigitizer::ShowPhoto(unsigned int) {
    return false;
}

bool KaDigitizer::IsPhotoShown(unsigned int) {
    return false;
}

bool KaDigitizer::MeasurePhotoSize(unsigned int) {
    return false;
}

bool KaDigitizer::DigitizerCommand(eDigitizercommand, CmdParam*) {
    return false;
}

bool KaDigitizer::Belongs(KaPhoto const* photo) const {
    return photo && photo->GetDigitizerId() == GetId();
}

KaPhoto* KaDigitizer::FindFirstPhoto() const {
    return FindNextPhoto(nullptr, true);
}

KaPhoto* KaDigitizer::FindNextPhoto(KaPhoto* photo, bool includeGiven) const {
    if (!m_hub)
        return nullptr;
    if (!photo) {
        photo = m_hub->FirstPhoto();
        includeGiven = true;
    }
    if (photo && !includeGiven)
        photo = photo->Next();
    for (; photo; photo = photo->Next())
        if (Belongs(photo))
            return photo;
    return nullptr;
}

KaPhoto* KaDigitizer::FindPhoto(unsigned int photoId, bool mine) const {
    if (!m_hub)
        return nullptr;
    KaPhoto* photo = m_hub->FindPhoto(photoId);
    if (photo && mine && !Belongs(photo))
        return nullptr;
    return photo;
}

KaPhoto* KaDigitizer::FindPhotoAtPos(KaPoint const& point, bool activeOnly) const {
    for (KaPhoto* photo = FindFirstPhoto(); photo; photo = FindNextPhoto(photo, false)) {
        if (activeOnly && !photo->IsActive())
            continue;
        if (photo->Overlap(&point))
            return photo;
    }
    return nullptr;
}

bool KaDigitizer::IsProjectValid() const {
    return m_hub && m_hub->IsProjectValid();
}

KaProject* KaDigitizer::GetProject() const {
    return m_hub ? m_hub->GetProject() : nullptr;
}

bool KaDigitizer::IsDigitizerEnabled() const {
    return m_hub && m_hub->IsDigitizerEnabled();
}

// KaVirtualDigitizer

KaVirtualDigitizer::KaVirtualDigitizer(KaProject* project) : KaVirtualProject(project) {}

KaVirtualDigitizer::~KaVirtualDigitizer() {
    Destroy();
}

TKaBaseListHeader<KaDigitizer>& KaVirtualDigitizer::operator=(TKaBaseListHeader<KaDigitizer> const&) {
    return *this;
}

bool KaVirtualDigitizer::ReceiveDigitzer2DData(KaDigitizerEvent const&) {
    return false;
}

bool KaVirtualDigitizer::ReceiveDigitzer3dData(KaDigitizerEvent const&) {
    return false;
}

bool KaVirtualDigitizer::SaveProgrammedDigiButtons() {
    return false;
}

bool KaVirtualDigitizer::RestoreProgrammedDigiButtons() {
    return false;
}

void KaVirtualDigitizer::NotifyProjectHasChanged() {
    NotifyDigitizerProjectChanged();
}

bool KaVirtualDigitizer::EnableDigitizer() {
    m_enabled = true;
    NotifyDigitizerEnabledChanged();
    return m_enabled;
}

bool KaVirtualDigitizer::DisableDigitizer() {
    m_enabled = false;
    NotifyDigitizerEnabledChanged();
    return m_enabled;
}

void KaVirtualDigitizer::NotifyDigitizerEnabledChanged() {
    for (KaDigitizer* digitizer = First(); digitizer; digitizer = digitizer->Next())
        digitizer->NotifyDigitizerEnabledChanged();
}

void KaVirtualDigitizer::NotifyDigitizerProjectChanged() {
    for (KaDigitizer* digitizer = First(); digitizer; digitizer = digitizer->Next())
        digitizer->NotifyProjectChanged();
}

unsigned int KaVirtualDigitizer::PreferredDigitizerId(int caps) {
    if (caps & KaDigiCapsDigital)
        return KaDigitalDigitizerId;
    if ((caps & KaDigiCapsPreferSecond) && (caps & KaDigiCapsSecondary))
        return 2;
    return 1;
}

unsigned int KaVirtualDigitizer::SuggestDigitizerId(int caps) const {
    unsigned int const preferred = PreferredDigitizerId(caps);
    return Find(preferred) ? GetFreeId(0) : preferred;
}

KaDigitizer* KaVirtualDigitizer::FindDigitizer(unsigned int photoId) const {
    KaPhoto const* photo = FindPhoto(photoId);
    if (!photo)
        return nullptr;
    return Find(photo->IsDigital() ? KaDigitalDigitizerId : photo->GetDigitizerId());
}

KaDigitizer* KaVirtualDigitizer::FindDigitizer(int caps) const {
    for (KaDigitizer* digitizer = First(); digitizer; digitizer = digitizer->Next())
        if (digitizer->GetCaps() == caps)
            return digitizer;
    return nullptr;
}

KaDigitizer* KaVirtualDigitizer::FindDigitizerByMask(int mask) const {
    for (KaDigitizer* digitizer = First(); digitizer; digitizer = digitizer->Next())
        if ((digitizer->GetCaps() & mask) == mask)
            return digitizer;
    return nullptr;
}

bool KaVirtualDigitizer::StartDigitizer(KaDigitizer* digitizer) {
    if (!digitizer)
        return false;
    digitizer->StartDigitizer();
    return digitizer->IsStarted();
}

bool KaVirtualDigitizer::StopDigitizer(KaDigitizer* digitizer) {
    if (!digitizer)
        return false;
    digitizer->StopDigitizer();
    return !digitizer->IsStarted();
}

bool KaVirtualDigitizer::StartDigitizer(unsigned int digitizerId) {
    return StartDigitizer(Find(digitizerId));
}

bool KaVirtualDigitizer::StopDigitizer(unsigned int digitizerId) {
    return StopDigitizer(Find(digitizerId));
}

bool KaVirtualDigitizer::StartDigitizer(int mask) {
    return StartDigitizer(FindDigitizerByMask(mask));
}

bool KaVirtualDigitizer::StopDigitizer(int mask) {
    return StopDigitizer(FindDigitizerByMask(mask));
}

bool KaVirtualDigitizer::IsDigitizerRunning(int mask) const {
    KaDigitizer const* digitizer = FindDigitizerByMask(mask);
    return digitizer && digitizer->IsStarted();
}

KaDigitizer* KaVirtualDigitizer::FindAndStartDigitizer(unsigned int photoId) {
    return RoutedDigitizer(photoId);
}

bool KaVirtualDigitizer::StartDigitizer(KaPhoto* photo) {
    if (!photo)
        return true;
    KaDigitizer* digitizer =
        photo->IsDigital() ? FindDigitizerByMask(KaDigiCapsDigital) : Find(photo->GetDigitizerId());
    if (digitizer && !digitizer->IsStarted())
        StartDigitizer(digitizer);
    return true;
}

KaDigitizer* KaVirtualDigitizer::RoutedDigitizer(unsigned int photoId) {
    KaDigitizer* digitizer = FindDigitizer(photoId);
    if (digitizer && !digitizer->IsStarted())
        StartDigitizer(digitizer);
    return digitizer;
}

bool KaVirtualDigitizer::ShowPhoto(unsigned int photoId) {
    KaDigitizer* digitizer = RoutedDigitizer(photoId);
    return digitizer && digitizer->ShowPhoto(photoId);
}

bool KaVirtualDigitizer::IsPhotoShown(unsigned int photoId) {
    KaDigitizer* digitizer = RoutedDigitizer(photoId);
    return digitizer && digitizer->IsPhotoShown(photoId);
}

bool KaVirtualDigitizer::MeasurePhotoSize(unsigned int photoId) {
    KaDigitizer* digitizer = RoutedDigitizer(photoId);
    return digitizer && digitizer->MeasurePhotoSize(photoId);
}

bool KaVirtualDigitizer::DigitizerCommand(eDigitizercommand command, CmdParam* param) {
    if (!param)
        return false;
    KaDigitizer* digitizer = RoutedDigitizer(param->photoId);
    return digitizer && digitizer->DigitizerCommand(command, param);
}
