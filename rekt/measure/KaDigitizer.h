#pragma once

#include "TarvisRektExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "model/KaPoint.h"
#include "project/KaVirtualProject.h"

#include <utility>
#include <vector>

class KaDigitizer;
class KaPhoto;
class KaProject;
class KaVirtualDigitizer;

// Digitizer capability bits (KaDigitizer::GetCaps).
enum : int {
    KaDigiCapsPreferSecond = 0x0004, // with KaDigiCapsSecondary: prefers number 2
    KaDigiCapsDigital = 0x0008,      // the on-screen digitizer of scanned and digital images
    KaDigiCapsSecondary = 0x8000
};

// The reserved number of the on-screen (digital) digitizer.
inline constexpr unsigned int KaDigitalDigitizerId = 20;

// Commands sent to a digitizer device; their effect on the device is the device's.
enum eDigitizercommand : int {
    KaDigiCmdNone = 0,
    KaDigiCmdRotatePhoto = 1, // values[0]: quarter turns
    KaDigiCmdAutoMeasureCross =
        2,              // values[0]: 0 start below the mouse, 1 stop, 2 all crosses; values[1]: cross
    KaDigiCmdDevice = 3 // point and param (0 number stepped, 1 drive to point, 2 button "A")
};

// What a digitizer button means to the measurement controller.
enum eDigiButtonCommand : int {
    KaDigiBtnNone = 0,
    KaDigiBtnCancel = 1,
    KaDigiBtnFunction2 = 2, // as KaDigiBtnFunction, except in mode 103
    KaDigiBtnDisable = 3,
    KaDigiBtnEnable = 4,
    KaDigiBtnIdPlus1 = 5,
    KaDigiBtnIdPlus10 = 6,
    KaDigiBtnIdPlus100 = 7,
    KaDigiBtnIdMinus1 = 8,
    KaDigiBtnIdMinus10 = 9,
    KaDigiBtnIdMinus100 = 10,
    KaDigiBtnFunction = 11,
    KaDigiBtnDrive = 12,        // drive the device to the estimated position
    KaDigiBtnDeviceCommand = 13 // digitizer command 3 with parameter 2
};

// The parameter block of a digitizer command. Every command names its photo in
// photoId; command 3 uses point and param, commands 1 and 2 the two values.
struct TARVISREKT_API CmdParam {
    CmdParam() = default;
    CmdParam(unsigned int photo, KaPoint const& p, int parameter)
        : photoId(photo), point(p), param(parameter) {}
    CmdParam(unsigned int photo, unsigned int value0, unsigned int value1 = 0)
        : photoId(photo), values{value0, value1} {}

    unsigned int photoId = 0;
    KaPoint point;
    int param = 0;
    unsigned int values[2] = {0, 0};
};

// A device's table of button codes and the commands they stand for: pairs of
// (command, code) in insertion order. The first pair with a code wins.
class TARVISREKT_API KaButtonCommandInterpreter {
public:
    // The default table: f e d c b a for +1 +10 +100 -1 -10 -100, X for driving,
    // A for the device command, the other commands without a code.
    KaButtonCommandInterpreter();
    KaButtonCommandInterpreter(KaButtonCommandInterpreter const& other) = default;
    KaButtonCommandInterpreter& operator=(KaButtonCommandInterpreter const& other) = default;
    virtual ~KaButtonCommandInterpreter();

    // The command of the first pair with this code; KaDigiBtnNone when none.
    eDigiButtonCommand InterpretButton(int code) const;
    // By position; 0 outside the table.
    eDigiButtonCommand GetButtonCommand(int index) const;
    int GetButtonCode(int index) const;
    // The code of the first pair with this command; 0 when none.
    int GetButtonCode(eDigiButtonCommand command) const;
    // Replaces the code of the first pair with this command, or appends a pair.
    void SetButtonCommand(eDigiButtonCommand command, int code);
    int GetNbrButtonEntrys() const { return static_cast<int>(m_pairs.size()); }

private:
    std::vector<std::pair<eDigiButtonCommand, int>> m_pairs;
};

// One measured position as a digitizer reports it.
class TARVISREKT_API KaDigitizerEvent {
public:
    KaDigitizerEvent() = default;
    KaDigitizerEvent(KaDigitizer* digi, KaPoint const& p, int buttonCode,
                     eDigiButtonCommand cmd = KaDigiBtnNone)
        : digitizer(digi), point(p), button(buttonCode), command(cmd) {}
    KaDigitizerEvent(KaDigitizerEvent const& other) = default;
    KaDigitizerEvent& operator=(KaDigitizerEvent const& other) = default;
    virtual ~KaDigitizerEvent();

    // The digitizer's capabilities; 0 without a digitizer.
    int GetCaps() const;
    KaDigitizer* GetDigitizer() const { return digitizer; }
    KaPoint const& GetPoint() const { return point; }
    KaPoint& GetPoint() { return point; }
    int GetButton() const { return button; }
    eDigiButtonCommand GetCommand() const { return command; }

    KaDigitizer* digitizer = nullptr; // not owned
    KaPoint point;                    // number, photo number (photoId) and coordinates
    int button = 0;
    eDigiButtonCommand command = KaDigiBtnNone;
};

// One device that delivers measured positions. The identifier is the digitizer
// number; a photo belongs to the digitizer whose number it carries
// (KaPhoto::GetDigitizerId). Devices derive from this class, call Send2D /
// Send3D when the user measures and override the command operations, whose
// versions here do nothing and return false.
//
// A digitizer is owned by its hub (KaVirtualDigitizer), to which the
// constructor appends it. Create it with new; the hub deletes it. Deleting a
// digitizer earlier takes it out of the hub first.
class TARVISREKT_API KaDigitizer : public KaListnode {
public:
    // Numbered by hub->SuggestDigitizerId(caps) and appended to the hub (which
    // may be null: then the digitizer is numbered by caps alone and stays alone).
    KaDigitizer(KaVirtualDigitizer* hub, int caps);
    // A copy belongs to the same hub but is not in its list; it must not outlive the hub.
    KaDigitizer(KaDigitizer const& other);
    KaDigitizer& operator=(KaDigitizer const& other);
    ~KaDigitizer() override;

    virtual bool StartDigitizer();
    virtual bool StopDigitizer();
    // Hand a measured position to the hub; false while the hub is disabled.
    virtual bool Send2D(KaPoint const& point, int button);
    virtual bool Send3D(KaPoint const& point, int button);
    virtual bool NotifyDigitizerEnabledChanged();
    virtual bool NotifyProjectChanged();
    virtual bool ShowPhoto(unsigned int photoId);
    virtual bool IsPhotoShown(unsigned int photoId);
    virtual bool MeasurePhotoSize(unsigned int photoId);
    virtual bool DigitizerCommand(eDigitizercommand command, CmdParam* param);

    int GetCaps() const { return m_caps; }
    bool IsStarted() const { return m_started; }
    KaVirtualDigitizer* GetHub() const { return m_hub; }
    KaButtonCommandInterpreter& GetButtonTable() { return m_buttons; }
    KaButtonCommandInterpreter const& GetButtonTable() const { return m_buttons; }

    // The photos of the hub's project that belong to this digitizer.
    KaPhoto* FindFirstPhoto() const;
    // The next belonging photo after photo, or photo itself when includeGiven
    // and it belongs; from the first photo when photo is null.
    KaPhoto* FindNextPhoto(KaPhoto* photo, bool includeGiven) const;
    // Photo number; with mine, a photo of another digitizer answers null.
    KaPhoto* FindPhoto(unsigned int photoId, bool mine) const;
    // The first belonging photo whose digitizer region holds point (border
    // included), skipping inactive photos when activeOnly.
    KaPhoto* FindPhotoAtPos(KaPoint const& point, bool activeOnly) const;

    bool IsProjectValid() const;
    KaProject* GetProject() const;
    bool IsDigitizerEnabled() const;

    KaDigitizer* Next() const { return static_cast<KaDigitizer*>(KaListnode::Next()); }
    KaDigitizer* Previous() const { return static_cast<KaDigitizer*>(KaListnode::Previous()); }

private:
    bool Belongs(KaPhoto const* photo) const;

    KaButtonCommandInterpreter m_buttons;
    KaVirtualDigitizer* m_hub = nullptr; // not owned
    int m_caps = 0;
    bool m_started = false;
};

// The hub of all digitizers: owns them, holds the global enabled switch, routes
// commands to the digitizer of a photo (starting it on demand) and receives the
// measured positions. The measurement controller derives from it and overrides
// the receivers, whose versions here return false.
//
// Not copyable: the digitizers stand for devices and belong to exactly one hub.
// KaVirtualProject is a virtual base: a derived class initialises it itself,
// KaVirtualProject(project), or the hub starts without a project.
class TARVISREKT_API KaVirtualDigitizer : public TKaListHeader<KaDigitizer>, public virtual KaVirtualProject {
public:
    explicit KaVirtualDigitizer(KaProject* project = nullptr);
    KaVirtualDigitizer(KaVirtualDigitizer const&) = delete;
    KaVirtualDigitizer& operator=(KaVirtualDigitizer const&) = delete;
    // The digitizers stand for devices: assigning another list keeps this hub's own.
    TKaBaseListHeader<KaDigitizer>& operator=(TKaBaseListHeader<KaDigitizer> const& other) override;
    // Deletes every digitizer while the hub is still whole.
    ~KaVirtualDigitizer() override;

    virtual bool ReceiveDigitzer2DData(KaDigitizerEvent const& event);
    virtual bool ReceiveDigitzer3dData(KaDigitizerEvent const& event);
    virtual bool SaveProgrammedDigiButtons();
    virtual bool RestoreProgrammedDigiButtons();

    // Tells every digitizer.
    void NotifyProjectHasChanged() override;

    bool IsDigitizerEnabled() const { return m_enabled; }
    // Set or clear the switch, tell every digitizer and return the new state.
    bool EnableDigitizer();
    bool DisableDigitizer();
    void NotifyDigitizerEnabledChanged();
    void NotifyDigitizerProjectChanged();

    // 20 for a digital digitizer, 2 for KaDigiCapsPreferSecond with
    // KaDigiCapsSecondary, else 1; the first free number when that is taken.
    unsigned int SuggestDigitizerId(int caps) const;
    // The number caps asks for, whether taken or not.
    static unsigned int PreferredDigitizerId(int caps);

    // The digitizer of a photo: number 20 for a digital photo, the photo's
    // digitizer number otherwise; null without photo or digitizer.
    // Note: an int argument selects the capability form below.
    KaDigitizer* FindDigitizer(unsigned int photoId) const;
    // The first digitizer whose capabilities equal caps.
    KaDigitizer* FindDigitizer(int caps) const;
    // The first digitizer whose capabilities hold every bit of mask.
    KaDigitizer* FindDigitizerByMask(int mask) const;

    // Starts it; returns whether it runs. False for null.
    bool StartDigitizer(KaDigitizer* digitizer);
    // Stops it; returns whether it is stopped. False for null.
    bool StopDigitizer(KaDigitizer* digitizer);
    // By digitizer number.
    bool StartDigitizer(unsigned int digitizerId);
    bool StopDigitizer(unsigned int digitizerId);
    // The first digitizer holding every bit of mask; false when there is none.
    bool StartDigitizer(int mask);
    bool StopDigitizer(int mask);
    bool IsDigitizerRunning(int mask) const;
    bool StartDigitalDigitizer() { return StartDigitizer(KaDigiCapsDigital); }
    bool StopDigitalDigitizer() { return StopDigitizer(KaDigiCapsDigital); }
    bool IsDigitalDigitizerRunning() const { return IsDigitizerRunning(KaDigiCapsDigital); }
    // The digitizer of the photo, started when it is not running; null when none.
    KaDigitizer* FindAndStartDigitizer(unsigned int photoId);
    // For a digital photo the first digital digitizer, else the photo's own;
    // started when found and not running. True in any case.
    bool StartDigitizer(KaPhoto* photo);

    // Routed to the digitizer of the photo, which is started first when it is
    // not running; false without one. DigitizerCommand takes the photo number
    // from the parameter block (false without a block).
    bool ShowPhoto(unsigned int photoId);
    bool IsPhotoShown(unsigned int photoId);
    bool MeasurePhotoSize(unsigned int photoId);
    bool DigitizerCommand(eDigitizercommand command, CmdParam* param);

private:
    KaDigitizer* RoutedDigitizer(unsigned int photoId);

    bool m_enabled = false;
};
