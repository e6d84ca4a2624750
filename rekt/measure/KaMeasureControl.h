#pragma once

#include "TarvisRektExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/Link.h"
#include "measure/KaDigitizer.h"
#include "model/KaPoint.h"

class KaPhoto;

// What the next measured position means to the measurement controller.
enum eKaMeasureMode : int {
    KaMeasModeNone = 0,
    KaMeasModeProgrammButton = 1, // the event goes to measureLink unread
    KaMeasModePreReseauSize = 2,  // corner points of the photo
    KaMeasModePreReseauCross = 3, // single reseau crosses before the reseau transformation
    KaMeasModeReseau = 4,         // reseau crosses, numbered after the nearest nominal cross
    KaMeasModeOrient = 5,         // orientation measurement
    KaMeasModeErgmess = 6,        // supplementary measurement
    KaMeasModeDefRekt = 7,        // definition points of a rectification
    KaMeasModeDefRektBounds = 8,  // boundary points of a rectification region (not stored)
    KaMeasModeRektConnect = 9,    // connection points between a rectified photo and others
    KaMeasModeRekt = 100,         // a point transformed into object space
    KaMeasModeHL101 = 101,        // 100..103: the high-level group
    KaMeasModeHL102 = 102,
    KaMeasModeHL103 = 103
};

// What the next measured position means and whom to tell: the measure mode,
// the numbering state, the photo it is bound to and nine callback links. The
// fields are open to the controller that interprets the control.
//
// Copying copies every field and the event but only six links (measure,
// cancel, funktion, result, measId, estimateBiko): the push, pop and terminate
// links stay with the control they were set on.
class TARVISREKT_API KaMeasureControl : public KaListnode {
public:
    KaMeasureControl() = default;
    KaMeasureControl(KaMeasureControl const& other);
    KaMeasureControl& operator=(KaMeasureControl const& other);
    ~KaMeasureControl() override;

    // Call pushLink, popLink, terminateLink with this control; the link's result.
    virtual long NotifyControlPushed();
    virtual long NotifyControlPopped();
    virtual long NotifyTerminate();

    // Mode setters; each clears errorCode.
    void SetModeProgrammButton();
    void SetPreReseauSizeMode(unsigned int photoId);
    void SetPreResauCrossMode(unsigned int photoId);
    void SetReseauMode(double maxDeviation, bool ask);
    void SetOrientMeasMode(unsigned int id);
    void SetErgmessMode(unsigned int id);
    void SetModeDefRekt(unsigned int firstId, unsigned int maxId);
    void SetModeDefRektBounds(Link const& link);
    void SetModeRektConnect(unsigned int photoId);
    void SetModeRekt();
    // Kept for callers; they change nothing.
    void SetModeSip() {}
    void SetMode2Pic() {}
    void SetModeNPic() {}

    void SetMeasureLink(Link const& link) { measureLink = link; }
    void SetCancelLink(Link const& link) { cancelLink = link; }
    void SetFunktionLink(Link const& link) { funktionLink = link; }
    void SetResultLink(Link const& link) { resultLink = link; }
    void SetMeasIdLink(Link const& link) { measIdLink = link; }
    void SetEstimateBikoLink(Link const& link) { estimateBikoLink = link; }
    void SetPushLink(Link const& link) { pushLink = link; }
    void SetPopLink(Link const& link) { popLink = link; }
    void SetTerminateLink(Link const& link) { terminateLink = link; }
    void SetLinks(Link const& measure);
    void SetLinks(Link const& measure, Link const& cancel);
    void SetLinks(Link const& measure, Link const& cancel, Link const& funktion);
    // Also copies the push, pop and terminate links of other.
    void CopyStackLinks(KaMeasureControl const& other);

    // Sets measId; with notify calls measIdLink with this control.
    void AssignMeasId(unsigned int id, bool notify);
    unsigned int GetAssignedMeasId() const { return measId; }
    eKaMeasureMode GetMode() const { return mode; }

    KaMeasureControl* Next() const { return static_cast<KaMeasureControl*>(KaListnode::Next()); }
    KaMeasureControl* Previous() const { return static_cast<KaMeasureControl*>(KaListnode::Previous()); }

    unsigned int measId = 0;            // number of the next measured point; 0: the photo chooses
    unsigned int maxMeasId = 0;         // numbering wraps to 1 after this; 0: no wrap
    bool savedDigitizerEnabled = false; // the enabled state when this control was covered
    unsigned int boundPhotoId = 0;      // 0: any photo
    eKaMeasureMode mode = KaMeasModeNone;
    int errorCode = 0;        // reason of the last refused measurement
    KaPhoto* photo = nullptr; // photo of the last received position; not owned
    KaDigitizerEvent lastEvent;
    double reseauMaxDeviation = 0.0;
    bool reseauAskOnDeviation = false;
    KaPoint estimatedPoint;
    Link measureLink;
    Link cancelLink;
    Link funktionLink;
    Link resultLink;
    Link measIdLink;
    Link estimateBikoLink;
    Link pushLink;
    Link popLink;
    Link terminateLink;
};

// The stack of measuring controls; the last one is in force. It holds one
// default control from the start and PopControl never empties it. The MC...
// hooks do nothing and return false here; the controller maps them on its
// digitizer hub.
class TARVISREKT_API KaMeasureControlStack : public TKaListHeader<KaMeasureControl> {
public:
    KaMeasureControlStack();
    KaMeasureControlStack(KaMeasureControlStack const& other);
    using TKaListHeader<KaMeasureControl>::operator=;
    KaMeasureControlStack& operator=(KaMeasureControlStack const& other);
    ~KaMeasureControlStack() override;

    virtual bool MCModeChanged();
    virtual bool MCDeletePhotoMeasureLists();
    virtual bool MCIsDigitizerEnabled();
    virtual bool MCEnableDigitizer();
    virtual bool MCDisableDigitizer();

    // The current control; a stack that was emptied from outside gets a
    // default control again, so this is never null.
    KaMeasureControl* GetControl();
    // Tells the current control it is covered, saves the enabled state in it
    // and appends a copy of it (without push, pop and terminate links), which
    // becomes current and is returned.
    KaMeasureControl* PushControl();
    // Deletes the current control unless it is the only one, then on the new
    // current control restores the saved enabled state, calls its pop link,
    // MCModeChanged and, with deleteLists, MCDeletePhotoMeasureLists.
    // Returns the new current control.
    KaMeasureControl* PopControl(bool deleteLists);
    // Pushes first when push is true; then the current control becomes a copy
    // of control, its push, pop and terminate links included, and
    // MCModeChanged is called. Returns the current control.
    KaMeasureControl* SetControl(KaMeasureControl const& control, bool push);
    // Calls NotifyTerminate on the controls from the current one downwards;
    // when a handler removes the control it was called on, the walk goes on at
    // the new current control.
    void NotifyTerminate();

    using TKaListHeader<KaMeasureControl>::Subtract;
    KaMeasureControl* Subtract(KaMeasureControl* node) override;
    void Destroy() override;
    void SubtractAll() override;

private:
    // The control whose terminate link is being called, and whether it left the stack.
    KaMeasureControl* m_calling = nullptr;
    bool m_callingRemoved = false;
};

// Decides whether a workflow may start in a mode while others are on the stack.
class TARVISREKT_API KaWhoIsRunnig : public virtual KaMeasureControlStack {
public:
    KaWhoIsRunnig() = default;
    KaWhoIsRunnig(KaWhoIsRunnig const& other) = default;
    using KaMeasureControlStack::operator=;
    KaWhoIsRunnig& operator=(KaWhoIsRunnig const& other);
    ~KaWhoIsRunnig() override;

    // A high-level mode only while high-level modes are enabled and the current
    // control is in one; any other mode only when no control has it, and mode 4
    // not while a control is in mode 3.
    bool CanRun(eKaMeasureMode mode);
    static bool IsModeHLMeasureMode(eKaMeasureMode mode);

    void EnableHLMeasureModes() { m_hlModesEnabled = true; }
    void DisableHLMeasureModes() { m_hlModesEnabled = false; }
    bool IsHLMeasureModeEnabled() const { return m_hlModesEnabled; }

private:
    bool m_hlModesEnabled = false;
};
