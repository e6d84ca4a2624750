#pragma once

#include "TarvisRektExport.h"
#include "foundation/String.h"
#include "measure/KaDigitizer.h"
#include "measure/KaMeasureControl.h"
#include "measure/KaVorwartsschnitt.h"
#include "model/KaBikoTransform.h"
#include "model/KaCamera.h"
#include "model/KaReseauFile.h"
#include "project/KaVirtualProject.h"

class KaPhoto;
class KaPoint;
class KaProject;
class KaRektTrafo;

// Special measuring modes a front end may keep on the controller; they carry no
// behaviour here.
enum eKaMeasSpecial : int { KaMeasSpecialNone = 0 };

// The answer to a second measurement of the same point number.
enum eDblMeas : int {
    KaDblMeasNone = 0,    // no earlier measurement: store the new one
    KaDblMeasKeepOld = 1, // keep the earlier one, drop the new one
    KaDblMeasReplace = 2, // the new one replaces the earlier one
    KaDblMeasMean = 3     // store the mean of both
};

// Reasons of a refused measurement, left in KaMeasureControl::errorCode before
// DlgMeasureError (DlgMeasureWarning for KaMeasErrReseauDeviation) is called.
enum : int {
    KaMeasErrNoPhoto = 2,         // the position belongs to no photo of the project
    KaMeasErrOtherPhoto = 3,      // the position lies on another photo than the bound one
    KaMeasErrPhotoInactive = 4,   // the photo is not active
    KaMeasErrNoReseauCross = 6,   // the reseau file has no cross near the position
    KaMeasErrReseauDeviation = 7, // the nearest cross lies farther than allowed (warning)
    KaMeasErrNoRektTrafo = 8      // the photo has no rectification transform
};

// The measurement controller: turns the positions its digitizers report into
// point measurements on photos. The control on top of the control stack says
// what the next position means; workflows push their own control, set its mode
// and links and react to the callbacks, which get the controller (measure,
// cancel and funktion links) or the control (measId and estimate links) as
// argument.
//
// The user-interface hooks (Dlg..., Gui..., Show..., the drawing functions) do
// nothing here and answer false, none or an empty text; a front end derives and
// overrides them.
//
// The project is NOT owned. Not copyable: the digitizers stand for devices.
// A derived class initialises the virtual base itself, KaVirtualProject(project),
// and brings in the list assignments (using KaMeasure::operator=).
class TARVISREKT_API KaMeasure : public KaVirtualDigitizer, public KaWhoIsRunnig, public KaVorwartsschnitt {
public:
    explicit KaMeasure(KaProject* project = nullptr);
    KaMeasure(KaMeasure const&) = delete;
    KaMeasure& operator=(KaMeasure const&) = delete;
    // The list assignments of the bases stay as they are.
    using KaVirtualDigitizer::operator=;
    using KaMeasureControlStack::operator=;
    ~KaMeasure() override;

    // The mode of the current control.
    eKaMeasureMode GetMode();
    void SetMode(eKaMeasureMode mode);
    eKaMeasSpecial GetSpecialMode() const { return m_specialMode; }
    void SetSpecialMode(eKaMeasSpecial mode) { m_specialMode = mode; }

    // A measured position, interpreted by the current control. True only in
    // the button-programming mode, where the event goes to measureLink unread.
    bool ReceiveDigitzer2DData(KaDigitizerEvent const& event) override;
    // Three-dimensional positions are not measured here; false.
    bool ReceiveDigitzer3dData(KaDigitizerEvent const& event) override;
    // Wraps the point in an event without digitizer and button.
    bool ReceiveDigitzer3dData(KaPoint const& point);

    // Stores the current control's point on its photo, asking DlgDoubleMeasure
    // when the number is taken. Always true.
    bool AddMeasureToPhoto(KaMeasureControl& control);
    // Looks for an earlier measurement with the number of the control's point
    // (the measurement list, or the imo list in modes 5 and 6); hands it back in
    // earlier and returns the answer of DlgDoubleMeasure, KaDblMeasNone when
    // there is none.
    eDblMeas TestDoubleMeasure(KaMeasureControl const& control, KaPoint& earlier);

    // The current control's measId when it is set, else the photo's current
    // number (0 without photo).
    unsigned int GetNextMeasId(unsigned int photoId);
    unsigned int GetNextMeasId(KaPhoto* photo);

    // Calls the current control's cancel link; the next position first removes
    // the temporary measurements.
    void CancelMeasure();
    bool IsCancelPending() const { return m_cancelPending; }
    // Deletes the temporary measurements (number KaTempMeasureId) of all photos.
    bool RemoveCurrentMeasurement();

    // The reseau file described: from the project's list, read by the project,
    // or read from the file DlgLoadReseau names; the dummy file when all fail.
    // Never null.
    KaReseauFile* GetReseaufile(KaReseauDataDesc const& desc);
    KaReseauFile* GetReseaufile(KaPhoto* photo);
    KaReseauFile* GetDummyReseaufile() { return &m_dummyReseauFile; }

    // The project's cameras, loaded through LoadCameraFile when there are none.
    KaCameraList& GetCameraFile();
    // Asks DlgLoadCamerafile for a file and reads it into the project; returns
    // the answer.
    String LoadCameraFile();
    int IsCameraFileLoaded();

    // False (and errorCode 4 with DlgMeasureError) when the control's photo is
    // missing or not active.
    bool TestPhotoActive(KaMeasureControl& control);
    virtual bool TestPhotoOrient(KaMeasureControl& control);
    virtual bool RecalcMeasureResult(KaMeasureControl& control);
    virtual void AddToCooList(KaPoint const& point);

    // User-interface hooks.
    virtual void AddToMeasureDrawItemSymbol(KaPoint const& point, KaPhoto* photo, eConvertBikoMode mode);
    virtual void AddToImoDrawItemSymbol(KaPoint const& point, KaPhoto* photo, eConvertBikoMode mode);
    virtual void AddMeasureAsDrawItemSymbol(KaMeasureControl const& control);
    virtual void AddImoAsDrawItemSymbol(unsigned int id, KaPhoto* photo);
    virtual void AddImoAsDrawItemSymbol(KaMeasureControl const& control);
    virtual void DeleteImoDrawItemSymbol(unsigned int id, KaPhoto* photo, bool redraw);
    virtual bool GetImoDrawItemSymbolAsDigiCoord(KaPoint* point, unsigned int id, KaPhoto* photo);
    virtual bool GetMeasureDrawItemSymbolAsDigiCoord(KaPoint* point, unsigned int id, KaPhoto* photo);
    virtual void ShowRektPlanes(unsigned int photoId);
    virtual void HideRektPlanes(unsigned int photoId);
    virtual bool IsPhotoVisible(KaPhoto* photo);
    virtual bool DlgMeasureError();
    virtual bool DlgMeasureWarning();
    virtual bool DlgMeasureUserQuestion();
    virtual void GuiMeasureBeep();
    virtual String DlgLoadReseau(String const& proposal);
    virtual String DlgLoadCamerafile(String const& proposal);
    virtual eDblMeas DlgDoubleMeasure(KaPhoto const* photo, KaPoint const* earlier, KaPoint const* latest);
    virtual KaRektTrafo* DlgSelectRektTrafo(KaPhoto* photo, KaPoint* point);
    virtual void ShowMeasureControl();
    virtual void HideMeasureControi();
    virtual void MCDisplay3D();
    virtual void MCNotifyProjectHasChanged();
    virtual void ShowProgrammButtons();
    virtual void HideProgranmmButtons();
    virtual void SendToOtherPrograms(KaPoint const& point);
    virtual void LoadAttrImage(unsigned int photoId);
    virtual bool IsAttrImageValid(unsigned int photoId);

    // The control stack's digitizer operations act on the digitizer hub;
    // MCDeletePhotoMeasureLists does nothing.
    bool MCIsDigitizerEnabled() override;
    bool MCEnableDigitizer() override;
    bool MCDisableDigitizer() override;
    bool MCDeletePhotoMeasureLists() override;

    // Tells every digitizer, then calls MCNotifyProjectHasChanged.
    void NotifyProjectHasChanged() override;

protected:
    // Acts on the button command of the control's event; true when the event
    // was a command and is used up.
    bool InterpretDigikey(KaMeasureControl& control);
    // A point to be transformed through the photo's rectification.
    bool ReceiveDigitzer2DData_ModeRekt(KaMeasureControl& control, bool display);

private:
    void StepMeasId(KaMeasureControl& control, int step);
    void DriveDigitizer(KaMeasureControl& control);
    bool SendDeviceCommand(unsigned int photoId, KaPoint const& point, int param);
    bool Refuse(KaMeasureControl& control, int code);
    bool IsOnStack(KaMeasureControl const* control) const;
    // Numbering of modes 8 and 9; the point of the control gets the number.
    void NumberFromPhoto(KaMeasureControl& control, KaPhoto* photo);
    // measureLink, then (when the control survived) measId := the photo's next
    // number and measIdLink.
    void ReportAndAdvance(KaMeasureControl& control, unsigned int photoId);

    KaReseauFile m_dummyReseauFile;
    bool m_cancelPending = false;
    eKaMeasSpecial m_specialMode = KaMeasSpecialNone;
};
