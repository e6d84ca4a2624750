#include "measure/KaMeasureControl.h"

// KaMeasureControl

KaMeasureControl::KaMeasureControl(KaMeasureControl const& other)
    : KaListnode(other), measId(other.measId), maxMeasId(other.maxMeasId),
      savedDigitizerEnabled(other.savedDigitizerEnabled), boundPhotoId(other.boundPhotoId), mode(other.mode),
      errorCode(other.errorCode), photo(other.photo), lastEvent(other.lastEvent),
      reseauMaxDeviation(other.reseauMaxDeviation), reseauAskOnDeviation(other.reseauAskOnDeviation),
      estimatedPoint(other.estimatedPoint), measureLink(other.measureLink), cancelLink(other.cancelLink),
      funktionLink(other.funktionLink), resultLink(other.resultLink), measIdLink(other.measIdLink),
      estimateBikoLink(other.estimateBikoLink) {}

KaMeasureControl& KaMeasureControl::operator=(KaMeasureControl const& other) {
    if (this == &other)
        return *this;
    KaListnode::operator=(other);
    measId = other.measId;
    maxMeasId = other.maxMeasId;
    savedDigitizerEnabled = other.savedDigitizerEnabled;
    boundPhotoId = other.boundPhotoId;
    mode = other.mode;
    errorCode = other.errorCode;
    photo = other.photo;
    lastEvent = other.lastEvent;
    reseauMaxDeviation = other.reseauMaxDeviation;
    reseauAskOnDeviation = other.reseauAskOnDeviation;
    estimatedPoint = other.estimatedPoint;
    measureLink = other.measureLink;
    cancelLink = other.cancelLink;
    funktionLink = other.funktionLink;
    resultLink = other.resultLink;
    measIdLink = other.measIdLink;
    estimateBikoLink = other.estimateBikoLink;
    return *this;
}

KaMeasureControl::~KaMeasureControl() = default;

long KaMeasureControl::NotifyControlPushed() {
    return pushLink.Call(this);
}

long KaMeasureControl::NotifyControlPopped() {
    return popLink.Call(this);
}

long KaMeasureControl::NotifyTerminate() {
    // The handler may delete this control: nothing of it is used afterwards.
    return terminateLink.Call(this);
}

void KaMeasureControl::SetModeProgrammButton() {
    mode = KaMeasModeProgrammButton;
    measId = 0;
    errorCode = 0;
}

void KaMeasureControl::SetPreReseauSizeMode(unsigned int photoId) {
    mode = KaMeasModePreReseauSize;
    boundPhotoId = photoId;
    reseauMaxDeviation = 0.0;
    reseauAskOnDeviation = false;
    errorCode = 0;
}

void KaMeasureControl::SetPreResauCrossMode(unsigned int photoId) {
    SetPreReseauSizeMode(photoId);
    mode = KaMeasModePreReseauCross;
}

void KaMeasureControl::SetReseauMode(double maxDeviation, bool ask) {
    mode = KaMeasModeReseau;
    measId = 0;
    reseauMaxDeviation = maxDeviation;
    reseauAskOnDeviation = ask;
    errorCode = 0;
}

void KaMeasureControl::SetOrientMeasMode(unsigned int id) {
    mode = KaMeasModeOrient;
    measId = id;
    errorCode = 0;
}

void KaMeasureControl::SetErgmessMode(unsigned int id) {
    mode = KaMeasModeErgmess;
    measId = id;
    errorCode = 0;
}

void KaMeasureControl::SetModeDefRekt(unsigned int firstId, unsigned int maxId) {
    mode = KaMeasModeDefRekt;
    measId = firstId;
    maxMeasId = maxId;
    errorCode = 0;
}

void KaMeasureControl::SetModeDefRektBounds(Link const& link) {
    mode = KaMeasModeDefRektBounds;
    measureLink = link;
    measId = 0;
    errorCode = 0;
}

void KaMeasureControl::SetModeRektConnect(unsigned int photoId) {
    mode = KaMeasModeRektConnect;
    boundPhotoId = photoId;
    measId = 1;
    errorCode = 0;
}

void KaMeasureControl::SetModeRekt() {
    mode = KaMeasModeRekt;
    measId = 0;
    errorCode = 0;
}

void KaMeasureControl::SetLinks(Link const& measure) {
    measureLink = measure;
}

void KaMeasureControl::SetLinks(Link const& measure, Link const& cancel) {
    measureLink = measure;
    cancelLink = cancel;
}

void KaMeasureControl::SetLinks(Link const& measure, Link const& cancel, Link const& funktion) {
    measureLink = measure;
    cancelLink = cancel;
    funktionLink = funktion;
}

void KaMeasureControl::CopyStackLinks(KaMeasureControl const& other) {
    pushLink = other.pushLink;
    popLink = other.popLink;
    terminateLink = other.terminateLink;
}

void KaMeasureControl::AssignMeasId(unsigned int id, bool notify) {
    measId = id;
    if (notify)
        measIdLink.Call(this);
}

// KaMeasureControlStack

KaMeasureControlStack::KaMeasureControlStack() {
    Add(new KaMeasureControl);
}

KaMeasureControlStack::KaMeasureControlStack(KaMeasureControlStack const& other)
    : TKaListHeader<KaMeasureControl>(other) {
    if (IsEmpty())
        Add(new KaMeasureControl);
}

KaMeasureControlStack& KaMeasureControlStack::operator=(KaMeasureControlStack const& other) {
    TKaListHeader<KaMeasureControl>::operator=(other);
    if (IsEmpty())
        Add(new KaMeasureControl);
    return *this;
}

KaMeasureControlStack::~KaMeasureControlStack() = default;

bool KaMeasureControlStack::MCModeChanged() {
    return false;
}

bool KaMeasureControlStack::MCDeletePhotoMeasureLists() {
    return false;
}

bool KaMeasureControlStack::MCIsDigitizerEnabled() {
    return false;
}

bool KaMeasureControlStack::MCEnableDigitizer() {
    return false;
}

bool KaMeasureControlStack::MCDisableDigitizer() {
    return false;
}

KaMeasureControl* KaMeasureControlStack::GetControl() {
    if (IsEmpty())
        Add(new KaMeasureControl);
    return Last();
}

KaMeasureControl* KaMeasureControlStack::PushControl() {
    KaMeasureControl* current = GetControl();
    current->NotifyControlPushed();
    // The push handler may have changed the stack.
    current = GetControl();
    current->savedDigitizerEnabled = MCIsDigitizerEnabled();
    return Add(new KaMeasureControl(*current));
}

KaMeasureControl* KaMeasureControlStack::PopControl(bool deleteLists) {
    if (Count() > 1)
        delete Subtract(Last());
    KaMeasureControl* current = GetControl();
    if (MCIsDigitizerEnabled() != current->savedDigitizerEnabled) {
        if (current->savedDigitizerEnabled)
            MCEnableDigitizer();
        else
            MCDisableDigitizer();
    }
    current->NotifyControlPopped();
    MCModeChanged();
    if (deleteLists)
        MCDeletePhotoMeasureLists();
    return GetControl();
}

KaMeasureControl* KaMeasureControlStack::SetControl(KaMeasureControl const& control, bool push) {
    // control may be the current control itself, which a push copies away.
    KaMeasureControl const source(control);
    Link const pushLink = control.pushLink, popLink = control.popLink, terminateLink = control.terminateLink;
    if (push)
        PushControl();
    KaMeasureControl* current = GetControl();
    *current = source;
    current->pushLink = pushLink;
    current->popLink = popLink;
    current->terminateLink = terminateLink;
    MCModeChanged();
    return GetControl();
}

void KaMeasureControlStack::NotifyTerminate() {
    int const count = Count();
    KaMeasureControl* control = Last();
    for (int step = 0; step < count && control; ++step) {
        KaMeasureControl* const outerCalling = m_calling;
        bool const outerRemoved = m_callingRemoved;
        m_calling = control;
        m_callingRemoved = false;
        control->NotifyTerminate();
        bool const removed = m_callingRemoved;
        m_calling = outerCalling;
        m_callingRemoved = outerRemoved;
        control = removed ? Last() : control->Previous();
    }
}

KaMeasureControl* KaMeasureControlStack::Subtract(KaMeasureControl* node) {
    KaMeasureControl* const removed = TKaListHeader<KaMeasureControl>::Subtract(node);
    if (removed && removed == m_calling)
        m_callingRemoved = true;
    return removed;
}

void KaMeasureControlStack::Destroy() {
    if (m_calling && !IsEmpty())
        m_callingRemoved = true;
    TKaListHeader<KaMeasureControl>::Destroy();
}

void KaMeasureControlStack::SubtractAll() {
    if (m_calling && !IsEmpty())
        m_callingRemoved = true;
    TKaListHeader<KaMeasureControl>::SubtractAll();
}

// KaWhoIsRunnig

KaWhoIsRunnig& KaWhoIsRunnig::operator=(KaWhoIsRunnig const& other) {
    if (this != &other) {
        KaMeasureControlStack::operator=(other);
        m_hlModesEnabled = other.m_hlModesEnabled;
    }
    return *this;
}

KaWhoIsRunnig::~KaWhoIsRunnig() = default;

bool KaWhoIsRunnig::IsModeHLMeasureMode(eKaMeasureMode mode) {
    static constexpr eKaMeasureMode HighLevel[] = {KaMeasModeRekt, KaMeasModeHL101, KaMeasModeHL102,
                                                   KaMeasModeHL103};
    for (eKaMeasureMode m : HighLevel)
        if (m == mode)
            return true;
    return false;
}

bool KaWhoIsRunnig::CanRun(eKaMeasureMode mode) {
    if (IsModeHLMeasureMode(mode))
        return m_hlModesEnabled && IsModeHLMeasureMode(GetControl()->mode);
    for (KaMeasureControl const* control = First(); control; control = control->Next()) {
        if (control->mode == mode)
            return false;
        if (mode == KaMeasModeReseau && control->mode == KaMeasModePreReseauCross)
            return false;
    }
    return true;
}
