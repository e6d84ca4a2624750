#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "geometry/KaPolygon.h"
#include "model/KaCamera.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "numerics/KaMatrix.h"
#include "rekt/KaRektParallelDef.h"

#include <iosfwd>

class KaPhoto;
class KaReaderObject;

// Bits of a rectification transform's flag word.
enum : int {
    KaRektFlagActive = 0x002,       // "ACTIV"
    KaRektFlagRegionActive = 0x400, // "REGIONACTIV"
    KaRektFlagDistortion = 0x800    // "KAMERA": distortion compensation
};

// A rectification transform of a photo region onto an object plane: a projective
// 3 x 3 matrix from (distortion-corrected) image coordinates to plane coordinates
// and a 4 x 4 matrix from the plane into object space, with the definition that
// produced them and the image region they apply to. The identifier is the
// transform's number.
class TARVIS_API KaRektTrafo : public KaListnode, public KaFlag {
public:
    KaRektTrafo();
    // Reads a transform: the version-5.0 layout with oldLayout, else the
    // "REKTPLANE" block.
    KaRektTrafo(KaReaderObject* object, bool oldLayout);
    // Copies number, name, flags, matrices, polygons, parallel definition and camera.
    KaRektTrafo(KaRektTrafo const& other);
    // Copies everything but number and name.
    KaRektTrafo& operator=(KaRektTrafo const& other);
    ~KaRektTrafo() override;

    // Flags.
    bool IsActive() const { return IsFlagSet(KaRektFlagActive) != 0; }
    void SetActive(bool on) { SetBit(KaRektFlagActive, on); }
    bool IsRegionActive() const { return IsFlagSet(KaRektFlagRegionActive) != 0; }
    void SetRegionActive(bool on) { SetBit(KaRektFlagRegionActive, on); }
    bool GetDistortCameraFlag() const { return IsFlagSet(KaRektFlagDistortion) != 0; }
    void SetDistortCameraFlag(bool on) { SetBit(KaRektFlagDistortion, on); }
    // The distortion flag is set and the distortion camera has a number.
    bool CompensateDistortion() const { return GetDistortCameraFlag() && m_camera.GetId() != 0; }

    // The 3 x 3 image-to-plane matrix. Setting requires a 3 x 3 matrix
    // (KaErrMatrixAssign is thrown otherwise).
    KaMatrix const& GetRektMat() const { return m_rektMat; }
    void SetRektMat(KaMatrix const& m) { m_rektMat = m; }
    // The 4 x 4 plane-to-object matrix. Setting requires a 4 x 4 matrix.
    KaMatrix const& GetTransMat() const { return m_transMat; }
    void SetTransMat(KaMatrix const& m) { m_transMat = m; }

    // Object (plane) coordinates of the points that defined the transform.
    KaPolygon& GetDefPoints() { return m_defPoints; }
    KaPolygon const& GetDefPoints() const { return m_defPoints; }
    // Image coordinates of those points, as a polygon and as its point list.
    KaPolygon& GetMeasPoints() { return m_measPoints; }
    KaPolygon const& GetMeasPoints() const { return m_measPoints; }
    KaPointList& GetBikoList() { return m_measPoints.GetPointList(); }
    KaPointList const& GetBikoList() const { return m_measPoints.GetPointList(); }
    // The definition by lines between measured points; it refers to GetBikoList().
    KaRektParallelDef& GetParallelDef() { return m_parallelDef; }
    KaRektParallelDef const& GetParallelDef() const { return m_parallelDef; }
    // The image region the transform applies to; empty means the whole image.
    KaPolygon& GetRegion() { return m_region; }
    KaPolygon const& GetRegion() const { return m_region; }
    KaCamera const& GetDistortCameraParam() const { return m_camera; }
    void SetDistortCameraParam(KaCamera const& camera) { m_camera = camera; }

    // The valid region has at least one point.
    bool HasRegion() const { return m_region.Count() > 0; }
    // The point lies in the valid region (false for an empty region or no point).
    bool Overlap(KaPoint const* point) const;
    // The parallel definition holds at least one line.
    bool IsByParallelDef() const { return m_parallelDef.HasData(); }

    // out := in, its distortion removed when compensating, mapped with the 3 x 3
    // matrix and then with the 4 x 4 matrix. in and out may be the same point.
    // Always true; a degenerate projective denominator leaves that step out.
    bool Transform(KaPoint const* in, KaPoint* out) const;
    // Every point in place; the number of points (0 without a list).
    int Transform(KaPointList* list) const;

    // Area and closed outline length of the valid region in plane coordinates;
    // -1.0 when the region has too few points.
    double Area() const;
    double Length() const;

    // Defined with the photo-side operations: the area of the valid region in
    // pixel coordinates of a digital, active photo; 0 for any other photo.
    double GetOriginalPixelArea(KaPhoto const* photo) const;

    // A reader handler for the contents of a "REKTPLANE" block, in any order.
    int Read(KaReaderObject* object);
    // A reader handler for the version-5.0 layout of a photo's "REKTTRAFO" block.
    int ReadV50(KaReaderObject* object);
    // The contents of a "REKTPLANE" block, one entry a line.
    void Write(std::ostream& os) const;

    KaRektTrafo* Next() const { return static_cast<KaRektTrafo*>(KaListnode::Next()); }
    KaRektTrafo* Previous() const { return static_cast<KaRektTrafo*>(KaListnode::Previous()); }

private:
    void SetBit(int mask, bool on) { on ? (void)SetFlag(mask) : (void)ClearFlag(mask); }
    // Removes the distortion when compensating, then applies the 3 x 3 matrix.
    void ToPlane(KaPoint* p) const;
    KaPolygon PlaneRegion() const;

    int ReadRektMat(KaReaderObject* object);
    int ReadTransMat(KaReaderObject* object);
    int ReadDefPoints(KaReaderObject* object);
    int ReadMeasPoints(KaReaderObject* object);
    int ReadRegion(KaReaderObject* object);

    KaMatrix m_rektMat;
    KaMatrix m_transMat;
    KaPolygon m_defPoints;
    KaPolygon m_measPoints;
    KaRektParallelDef m_parallelDef;
    KaPolygon m_region;
    KaCamera m_camera;
};

// The rectification transforms of a photo; owns them.
class TARVIS_API KaRektTrafoList : public TKaListHeader<KaRektTrafo> {
public:
    KaRektTrafoList() = default;
    KaRektTrafoList(KaRektTrafoList const& other) = default;
    using TKaListHeader<KaRektTrafo>::operator=;
    KaRektTrafoList& operator=(KaRektTrafoList const& other);
    ~KaRektTrafoList() override;

    // Reader handlers: read one transform from a "REKTPLANE" block (AddTrafo) or
    // a version-5.0 "REKTTRAFO" block (AddTrafoV50) and append it. Return 1; a
    // record that breaks off adds nothing and the parser status is thrown on.
    int AddTrafo(KaReaderObject* object);
    int AddTrafoV50(KaReaderObject* object);
};

// List filters (KaTestFilter): 1 for an active transform, resp. a transform with a
// non-empty valid region; 0 for anything else.
TARVIS_API unsigned int IsRektActive(KaObject const* object);
TARVIS_API unsigned int HasRektRegion(KaObject const* object);
