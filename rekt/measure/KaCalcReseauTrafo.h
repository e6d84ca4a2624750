#pragma once

#include "TarvisRektExport.h"
#include "model/KaPointList.h"
#include "model/KaReseauFile.h"
#include "numerics/KaTrafo2d.h"

class KaPhoto;
class KaPoint;
class KaProject;

// Computes the reseau transformations of a photo from its measured crosses
// (the measurement list, crosses numbered like the reseau file) and the nominal
// crosses of its reseau file, and stores them on the photo: the
// pre-transformation, the main transformation, the inverse polynomial, the
// rotation in quarter turns and the scale. Fits, residuals and statistics are
// those of KaCalcTrafo2D; the nominal crosses are its control (PP) list.
//
// The project, the reseau file and the lists are NOT owned.
class TARVISREKT_API KaCalcReseauTrafo : public KaCalcTrafo2D {
public:
    explicit KaCalcReseauTrafo(KaProject* project = nullptr);
    // Copy the KaCalcTrafo2D part, the project and the reseau file in use.
    KaCalcReseauTrafo(KaCalcReseauTrafo const& other);
    KaCalcReseauTrafo& operator=(KaCalcReseauTrafo const& other);
    ~KaCalcReseauTrafo() override;

    void SetProject(KaProject* project) { m_project = project; }
    KaProject* GetProject() const { return m_project; }
    // The reseau file in use (null when none) and its crosses.
    KaReseauFile* GetReseauFile() const { return m_reseauFile; }
    KaPointList* GetNominalList() const { return m_nominal; }

    // Finds or reads the described reseau file through the project; when found
    // it becomes the file in use. Returns whether it was found.
    bool SetReseauData(KaReseauDataDesc const& desc);

    // The quadrant of b seen from a: 0 upper right, 1 upper left, 2 lower left,
    // 3 lower right. A shared coordinate counts as greater.
    static int CalcRelPos(KaPoint const& a, KaPoint const& b);
    // The rotation in quarter turns (0..3) of the measured crosses against
    // their nominal crosses, from the first two points of list; 0 when either
    // is missing.
    int CalcPhotoAngle(KaPointList* list);
    // The same on the photo's measurement list with its reseau file; stores the
    // result as the photo's rotation. Without the reseau file: 0, photo unchanged.
    int CalcPhotoAngle(KaPhoto* photo);

    // The type the distribution of the photo's crosses over the reseau file's
    // photo region (5 larger on every side) allows; 0 without a reseau file in use.
    eKaTrafo2DType SuggestReseautrafo(KaPhoto* photo);

    // Fits list (source) to the nominal crosses (target) with type 1..4 and
    // computes the residuals; false without a reseau file in use, for any
    // other type and when the fit fails.
    bool CalcReseautrafo(KaPointList* list, eKaTrafo2DType kind);
    // Fits the photo's measurement list with its reseau file (type 0: the
    // suggested type) and stores the result: with pre as reseau
    // pre-transformation and scale, else as main transformation and reseau
    // descriptor. False, and the photo unchanged, without photo, reseau file
    // or fit.
    bool CalcReseautrafo(KaPhoto* photo, bool pre, eKaTrafo2DType kind);
    // Fits the polynomial from the nominal crosses to the measured ones and
    // stores it as the photo's inverse polynomial.
    bool CalcInvPolynomTrafo(KaPhoto* photo);

    // Every point of list whose number is a nominal cross takes its x and y.
    void ReplacePointCoords(KaPointList* list);
    // Exchanges the nominal and the second list.
    void TogglePointList();
    // A hook for a reseau report; writes nothing here and returns false.
    virtual bool WriteReseauLogFile(KaPhoto* photo);

private:
    // Makes the photo's reseau file the file in use, or none when it cannot be found.
    bool UsePhotoReseauFile(KaPhoto const* photo);
    void UseReseauFile(KaReseauFile* file);

    KaProject* m_project = nullptr;
    KaReseauFile* m_reseauFile = nullptr;
    KaPointList* m_nominal = nullptr;
    KaPointList* m_second = nullptr;
    KaPointList m_empty;
};
