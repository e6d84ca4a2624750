#pragma once

#include "TarvisRektExport.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "numerics/KaMatrix.h"
#include "project/KaVirtualProject.h"

class KaPhoto;
class KaProject;

// The point number of a temporary measurement that is to be transformed or
// intersected (all 32 bits set).
inline constexpr unsigned int KaTempMeasureId = 0xFFFFFFFFu;

// Forward intersection: the result of intersecting the image rays of one point
// measured on several photos, and the measurements collected for it. The
// measurement controller derives from it and removes its temporary
// measurements (number KaTempMeasureId) from the photos through it.
// KaVirtualProject is a virtual base: the most derived class initialises it
// (KaVirtualProject(project)); the project argument here counts only when this
// class is itself the most derived.
class TARVISREKT_API KaVorwartsschnitt : public virtual KaVirtualProject {
public:
    KaVorwartsschnitt();
    explicit KaVorwartsschnitt(KaProject* project);
    KaVorwartsschnitt(KaVorwartsschnitt const& other);
    KaVorwartsschnitt& operator=(KaVorwartsschnitt const& other);
    ~KaVorwartsschnitt() override;

    // Clears the work values and the status; destroy points becomes true.
    void Init();
    bool SetDestroyPoints(bool destroy) { return m_destroyPoints = destroy; }
    bool GetDestroyPoints() const { return m_destroyPoints; }
    int GetStatus() const { return m_status; }
    double GetSigma() const { return m_sigma; }
    KaPoint& GetVWSPos() { return m_position; }
    KaPoint const& GetVWSPos() const { return m_position; }
    // The collected measurements, each with its number and photo number.
    KaPointList& GetVWSPoints() { return m_points; }
    KaPointList const& GetVWSPoints() const { return m_points; }

    // Removes and deletes the measurement with this number from every photo of
    // the project, then empties the collected points. Returns how many
    // measurements were deleted.
    int DeleteMeasurements(unsigned int number);
    // Removes and deletes the measurement of one photo and its collected entry;
    // false (and nothing changed) when the photo or the measurement is missing.
    bool DeleteMeasurement(unsigned int photoId, unsigned int number);

    // Replaces the collected points by copies of the measurements with this
    // number from every photo of the project; returns how many were collected.
    int CollectMeasurements(unsigned int number);
    // The intersection needs the exterior orientation of the photos, which the
    // model does not hold: these compute nothing and answer false.
    bool CalcVWS(unsigned int number, bool collect);
    bool CalcVWS2Pic(KaPoint* p1, KaPoint* p2, KaPhoto* photo1, KaPhoto* photo2);
    bool CalcVWS2Pic(KaVector& ray1, double scale1, KaVector& ray2, double scale2, KaMatrix const& rotation1,
                     KaMatrix const& rotation2, KaVector const& centre1, KaVector const& centre2);

private:
    int m_work[6] = {0, 0, 0, 0, 0, 0};
    bool m_destroyPoints = true;
    int m_status = 0;
    int m_further[2] = {0, 0};
    double m_sigma = 0.0;
    KaPoint m_position;
    KaVector m_vector;
    KaPointList m_points;
};
