#pragma once

#include "TarvisRektExport.h"
#include "numerics/KaMatrix.h"
#include "rectify/KaRektMosaik.h"

class KaMeasure;
class KaOrthoPhoto;
class KaOrthoPhotoList;
class KaPhotoList;
class KaProject;
class KaRectPlane;
class KaReseaufileList;

// The image handle of the front end's imaging library. The rectification only
// passes such handles to its raster hooks; what they point at belongs to the
// front end.
struct IGear {
    void* image = nullptr;
};

// A raster size in pixels.
struct KaSize {
    long cx = 0;
    long cy = 0;
};

// Prepares the digital rectification of the selected photos into one raster:
// collects their active rectification transforms as planes into a mosaic,
// keeps the largest group of nearly parallel planes, lays all planes into the
// common plane of the first one, and computes the extent, a default raster size
// at native resolution, the scale and per plane the matrix that takes an output
// pixel to a pixel of its photo.
//
// Reading photo images, resampling, writing the result and the progress display
// belong to the front end, which overrides the virtual hooks; here they do
// nothing and answer false or none.
//
// The controller is not owned; planes point into its project, which must stay
// unchanged while a mosaic is in use.
class TARVISREKT_API KaDigitalRekt {
public:
    explicit KaDigitalRekt(KaMeasure* measure);
    KaDigitalRekt(KaDigitalRekt const& other);
    KaDigitalRekt& operator=(KaDigitalRekt const& other);
    virtual ~KaDigitalRekt();

    // Front-end hooks.
    virtual bool CalcRektDigital(IGear* image);
    virtual bool DlgSelectPhotoAndPlane();
    // The photo image of a plane.
    virtual IGear* GetBitmap(KaRectPlane* plane);
    virtual bool CalcRektBitmap(IGear* image, bool first, bool last);
    // Produces the orthophoto.
    virtual KaOrthoPhoto* CalcRektPhoto();
    virtual void CreateStatusBar(int range);
    virtual void UpdateStatusBar(int pos);
    virtual void StopStatusBar();

    KaMeasure* GetMeasure() const { return m_measure; }
    // Null without controller.
    KaProject* GetProject() const;
    // The controller's lists; a controller is required.
    KaPhotoList& GetPhotoList() const;
    KaOrthoPhotoList& GetOrthoPhotoList() const;
    KaReseaufileList& GetReseaufileList() const;

    // Pushes a control, disables the digitizers, runs the selection dialog and,
    // when it answers true, CalcRektPhoto; pops the control again. False only
    // without controller.
    bool DoDigital();

    // The mosaic of the active transforms of the check-active photos.
    bool BuildPlaneMosaik();
    // Selects only photo photoId and only its transform rektId, then builds;
    // true when that transform exists.
    bool BuildPlaneMosaik(unsigned int photoId, unsigned int rektId);
    // Selects the photos and transforms the orthophoto was made of, takes over
    // its plane angle, builds and puts its planes first, in its order. False
    // for no orthophoto.
    bool BuildPlaneMosaik(KaOrthoPhoto const* ortho);
    // The orthophoto of one transform at the object pixel size (0: native);
    // null when the transform does not exist.
    KaOrthoPhoto* DoCalcSinglePlane(unsigned int photoId, unsigned int rektId, double pixelSize);

    bool CanCalcRekt() const { return m_selPlanes > 0; }
    // Fewer than two planes, or fewer than two transforms without a 3D matrix.
    bool IsNbrNotConnOk() const { return m_selPlanes < 2 || m_unconnected < 2; }
    int GetUnconnectedCount() const { return m_unconnected; }

    double GetMaxAngleDeg() const;
    // Stores the angle in radians and returns it.
    double SetMaxAngleDeg(double deg);
    double GetMaxAngle() const { return m_maxAngle; }

    KaRektMosaik& GetMosaik() { return m_mosaik; }
    KaRektMosaik const& GetMosaik() const { return m_mosaik; }
    // Mosaic coordinates to output pixels; after CalcRektMatrixes the inverse.
    KaMatrix const& GetOutputMatrix() const { return m_output; }
    double GetScale() const { return m_scale; }
    // Output size relative to the default size [%].
    double& BitmapScale() { return m_bitmapScale; }
    int GetSelPlanes() const { return m_selPlanes; }
    int GetSelPhotos() const { return m_selPhotos; }
    long GetDefaultBitmapX() const { return m_defaultX; }
    long GetDefaultBitmapY() const { return m_defaultY; }
    long GetBitmapX() const;
    long GetBitmapY() const;
    // Bytes of the output raster; 0 when that does not fit into an int.
    int GetBitMapSize() const;
    int GetBitPerPixel() const { return m_bitsPerPixel; }
    void SetBitPerPixel(int bits) { m_bitsPerPixel = bits; }
    int& Antialaising() { return m_antialiasing; }
    bool IsRektClippingModeNormal() const { return m_clippingNormal; }
    void SetRektClippingModeNormal(bool normal) { m_clippingNormal = normal; }

    // Statistics of the last run, filled by the front end.
    void SetCalcStatistics(long pixels, double seconds);
    long GetCalcPixel() const { return m_calcPixel; }
    double GetCalcTime() const { return m_calcTime; }
    // 0 for a zero time.
    double GetCalcPixelPerSec() const;

    // Plane order, forwarded to the mosaic.
    void UpPlane(KaRectPlane* plane) { m_mosaik.UpPlane(plane); }
    void DownPlane(KaRectPlane* plane) { m_mosaik.DownPlane(plane); }
    void TopPlane(KaRectPlane* plane) { m_mosaik.TopPlane(plane); }
    void BottomPlane(KaRectPlane* plane) { m_mosaik.BottomPlane(plane); }
    void SaveMosaik() { m_saved = m_mosaik; }
    void RestoreMosaik() { m_mosaik = m_saved; }

    // Loads the photo images through the controller and drops the planes whose
    // image is not valid; then updates the box (false when empty).
    bool LoadBitmaps();
    // The scale for the raster size; with extend the box grows in y to the
    // raster's aspect. False for a box of zero width or height.
    bool CalcRektScale(KaSize const& size, bool extend);
    // The output matrix, the borders and the box in output pixels, and per
    // plane the mapping from output pixels to photo pixels. May be called again
    // with another size. False when a plane's mapping is singular (that plane
    // then maps nothing).
    bool CalcRektMatrixes(KaSize size, bool extend);

protected:
    void CollectPlanes();
    int CountGroups();
    int ReduceGroups();
    // Groups, and reduces when there is more than one group; the group count.
    int GetMostParallelPlanes();
    void CalcMosaikConnectMatrixes();
    bool CalcPlaneRanges();
    void CountPlanes();
    bool CalcNormVect(KaRectPlane* plane);
    // The angle between the normals in radians; 0 when either is missing.
    double CalcPlaneAngle(KaRectPlane const* a, KaRectPlane const* b) const;

private:
    void BuildSteps();
    // Borders in mosaic coordinates and the box over all planes.
    void CalcBorders();

    KaMeasure* m_measure = nullptr;
    int m_unconnected = 0;
    KaRektMosaik m_mosaik;
    KaRektMosaik m_saved;
    KaMatrix m_output{3, 3};
    double m_maxAngle;
    double m_scale = 1.0;
    double m_bitmapScale = 100.0;
    int m_selPlanes = 0;
    int m_selPhotos = 0;
    long m_defaultX = 200;
    long m_defaultY = 150;
    int m_bitsPerPixel = 24;
    int m_antialiasing = 0;
    bool m_clippingNormal = true;
    long m_calcPixel = 1;
    double m_calcTime = 1.0;
};
