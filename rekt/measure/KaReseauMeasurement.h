#pragma once

#include "TarvisRektExport.h"
#include "foundation/Link.h"
#include "foundation/String.h"
#include "measure/KaCalcReseauTrafo.h"
#include "model/KaPhoto.h"
#include "model/KaPoint.h"
#include "model/KaReseauFile.h"
#include "numerics/KaTrafo2d.h"

#include <array>

class KaMeasure;
class KaMeasureControl;
class KaProject;
class KaRegion;

// How the photo is pre-measured.
enum ePreReseaumode : int {
    KaPreReseauAnalog = 0,       // two corners of the photo on the digitizer, then two crosses
    KaPreReseauDigital = 1,      // first cross, the image size, second cross
    KaPreReseauDigitalCamera = 2 // the reseau is the four image corners
};

// Steps of the pre-measurement. Analog photos run 0, 1, 4, 5, 6; digital
// photos 2, 3, 5, 6; digital-camera reseaus 2, 3, 6.
enum ePreReseauMeasureStep : int {
    KaPreStepCorner1 = 0,
    KaPreStepCorner2 = 1,
    KaPreStepFirstCross = 2, // digital: the first cross, then the image size
    KaPreStepImageSize = 3,  // digital: waiting for the two image corners
    KaPreStepCross1 = 4,
    KaPreStepCross2 = 5,
    KaPreStepDone = 6
};

// Steps of the whole reseau measurement (GetReseauMeasureStep).
enum : int {
    KaReseauStepIdle = 0,
    KaReseauStepSelect = 1,     // choosing the photo and the reseau file
    KaReseauStepPreMeasure = 2, // photo size and two crosses
    KaReseauStepMeasure = 3     // all crosses
};

// Leads the user through measuring the reseau crosses of a photo and computes
// its reseau transformations. It works through the measurement controller: it
// pushes its own measuring control whose measure, terminate and estimate links
// point back here, and it steers that control's mode.
//
// The controller is NOT owned and must outlive this object. LnkHdlTerminate
// deletes this object, so a measurement whose control is on the stack is
// created with new. The dialog hooks do nothing here and answer false or none.
class TARVISREKT_API KaReseauMeasurement : public LinkHdl {
public:
    static constexpr int MaxCrosses = 500;

    explicit KaReseauMeasurement(KaMeasure* measure, bool noControl = false);
    KaReseauMeasurement(KaReseauMeasurement const&) = delete;
    KaReseauMeasurement& operator=(KaReseauMeasurement const&) = delete;
    // Stops the automatic cross measurement and takes the own control off the stack.
    virtual ~KaReseauMeasurement();

    // Dialog hooks.
    virtual bool DlgNoValidProject();
    virtual bool DlgNoReseaufileSelected();
    virtual bool DlgNonExternPhotoExist();
    virtual bool StartDlgReseauPhotoSelect();
    virtual bool StopDlgReseauPhotoSelect();
    virtual bool StartDlgReseauPreMeasure(ePreReseaumode mode);
    virtual bool ShowStepDlgReseauPreMeasure(ePreReseauMeasureStep step);
    virtual bool UpdateDlgReseauPreMeasure(ePreReseauMeasureStep step);
    virtual bool StopDlgReseauPreMeasure();
    virtual bool StartDlgReseauMeasure();
    virtual bool StopDlgReseauMeasure();
    // The image's pixel extent and its rotation in quarter turns; false when unknown.
    virtual bool GetPhotoPixelSize(KaRegion* pixelRegion, int* rotation);
    // A reseau file matching the image data of the photo; none here.
    virtual KaReseauFile* FindMatchingReseauFromImageData(int& index);

    // Workflow steps; each returns 1.
    int Start();
    int NextStep();
    int PreviousStep();

    // Link handlers. LnkHdlMeasure follows each stored measurement; the estimate
    // handler fills the control's estimatedPoint (1) or has none (0);
    // LnkHdlTerminate deletes this object.
    long LnkHdlMeasure(void* arg);
    long LnkHdlEstimateBiko(void* control);
    long LnkHdlTerminate(void* arg);
    long LnkHdlCancel(void* arg);

    // Photo choice.
    int GuiNextPhoto();
    int GuiPrevPhoto();
    int GuiSelectPhoto(int number);
    int FindFirstPhotoWithNoReseau();
    int MakeNewEditPhoto(int number);
    // Puts the edit photo into the project (a photo of its number takes its
    // settings and keeps its point lists, transforms and attributes); 0 and
    // DlgNoReseaufileSelected without a real reseau file.
    int GuiEditPhotoToProject();
    // Adds the edit photo as external photo; 0 when its number is taken.
    int GuiEditPhotoAsExternToProject();
    // The current project photo takes the edit photo's settings again.
    int RestorePhotoInProject();

    // Reseau file choice.
    KaReseauFile* LoadReseaufile(String const& name, bool selectCrosses);
    int SelectOrLoadReseaufile(KaPhoto* photo);
    int GuiNextReseaufile();
    int GuiPrevReseaufile();
    // A reseau file other than the controller's dummy file is in use.
    bool IsValidReseaufile() const;
    // The descriptor of the current file, or an empty one.
    KaReseauDataDesc GetReseauData() const;
    // Exactly four crosses, each a picture corner.
    bool IsDigitalCameraReseau() const;

    // Crosses.
    int GetSelectedReseauCrosses();
    void SelectCornerReseauCrosses();
    void GuiSelectReseaucrosses(unsigned int& cross1, unsigned int& cross2);
    unsigned int GetCross1() const { return m_crosses[0]; }
    unsigned int GetCross2() const { return m_crosses[1]; }

    // Steps of the calculation.
    int PreparePreReseaumeasure(ePreReseaumode& mode);
    int AktivatePreMeasPhoto();
    int MeasureCornerCrosses();
    int PrepareReseaumeasure();
    int CalcMainReseau();
    eKaTrafo2DType SuggestReseautrafo();
    int SetActualTrafo(eKaTrafo2DType type);
    // The type of the photo's main reseau transformation.
    eKaTrafo2DType GetActualTrafo() const;
    bool IsUserSelected() const { return m_actualTrafo == KaTrafo2DNone; }
    // Removes the cross with the largest residual when it exceeds a limit (0:
    // three times the mean error of that axis) and recomputes; 1 when removed.
    int DeleteWrongMeasuredCrossesWithMaxError(double maxX, double maxY);
    // Repeats the above with both limits 0; the number of removed crosses.
    int DeleteWrongMeasuredCrosses();
    int DeleteMeasures();
    int FinishPhotoInProject();

    // Digital photos.
    int DoFullDigitalReseauMeasurement();
    int DoAutoMeasureCross();
    int StartAutoMeasureCrossBelowMouse();
    int StopAutoMeasureCrossBelowMouse();
    bool CanAutoMeasureCrossBelowMouse() const;
    int RotateDigitalPhoto(int quarterTurns);

    int GetProjectSettingAutoMeasureCross() const { return 0; }
    void SetProjectSettingAutoMeasureCross(int) {}

    // The reseau mode the measurement of all crosses runs in: the largest
    // distance to the nearest nominal cross [mm] and whether to ask beyond it.
    void SetReseauDeviation(double maxDeviation, bool ask);
    double GetReseauMaxDeviation() const { return m_maxDeviation; }

    KaMeasure* GetMeasure() const { return m_measure; }
    KaPhoto* GetReseauPhoto() const { return m_photo; }
    KaReseauFile* GetReseaufile() const { return m_reseauFile; }
    KaPhoto& GetEditPhoto() { return m_editPhoto; }
    int GetReseauMeasureStep() const { return m_mainStep; }
    ePreReseaumode GetPreReseauMode() const { return m_preMode; }
    ePreReseauMeasureStep GetPreReseauMeasureStep() const { return m_preStep; }
    KaPoint const& GetFirstPoint() const { return m_firstPoint; }
    KaCalcReseauTrafo& GetCalculator() { return m_calc; }
    // The mean errors of the last fit; always true.
    bool GetMediumError(double& x, double& y) const;
    // The number of the cross with the largest residual of the last fit.
    unsigned int GetMaxError() const { return m_calc.GetMaxError(); }

private:
    KaProject* Project() const;
    bool HasProject() const;
    KaMeasureControl* CurrentControl() const;
    // Takes a photo of the project as current; the edit photo becomes its copy.
    void EditProjectPhoto(KaPhoto* photo);
    // Makes sure the current file has its two selected crosses and names it in
    // the edit photo.
    void UseReseaufile(KaReseauFile* file);
    bool SendAutoMeasure(unsigned int subCommand, unsigned int cross);
    // Gives up the own control: links to this object are cleared everywhere on
    // the stack, the control itself is popped or removed.
    void ReleaseControl();

    KaMeasure* m_measure = nullptr;       // not owned
    KaPhoto* m_photo = nullptr;           // the current project photo; not owned
    KaReseauFile* m_reseauFile = nullptr; // not owned
    std::array<unsigned int, MaxCrosses> m_crosses{};
    KaPoint m_firstPoint;
    bool m_autoRunning = false;
    bool m_fullRun = false;
    bool m_noControl = false;
    int m_mainStep = KaReseauStepIdle;
    ePreReseaumode m_preMode = KaPreReseauAnalog;
    ePreReseauMeasureStep m_preStep = KaPreStepCorner1;
    KaCalcReseauTrafo m_calc;
    eKaTrafo2DType m_actualTrafo = KaTrafo2DNone;
    KaPhoto m_editPhoto{0u};
    double m_maxDeviation = 1.0;
    bool m_askOnDeviation = true;
    KaMeasureControl* m_control = nullptr; // the own control on the stack; owned by the stack
};
