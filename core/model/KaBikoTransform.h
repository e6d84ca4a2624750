#pragma once

#include "TarvisExport.h"
#include "model/KaReseauTrafo.h"
#include "numerics/KaMatrix.h"

class KaPhoto;
class KaPoint;

// The conversions between the coordinate systems of a photo: pixel (as
// measured), pre-corrected (after the pre reseau transformation), image [mm]
// (after the main reseau transformation) and corrected image coordinates
// (reduced to the principal point and free of radial distortion).
// 11 to 13, and every value outside 1 to 13, change nothing.
enum eConvertBikoMode : int {
    CB_NONE = 0,
    CB_PIXEL_TO_PRE = 1,
    CB_PIXEL_TO_BIKO = 2,
    CB_PRE_TO_BIKO = 3,
    CB_PIXEL_TO_ADJUSTED = 4,
    CB_BIKO_TO_ADJUSTED = 5,
    CB_BIKO_TO_PIXEL = 6,
    CB_PRE_TO_PIXEL = 7,
    CB_BIKO_TO_PRE = 8,
    CB_ADJUSTED_TO_BIKO = 9,
    CB_ADJUSTED_TO_PIXEL = 10,
    CB_RESERVED_11 = 11,
    CB_RESERVED_12 = 12,
    CB_RESERVED_13 = 13
};

// One conversion of a photo, prepared once and applied to many points. The
// linear parts (pre transformation and a main transformation with a matrix
// form) are combined into one homogeneous 3 x 3 matrix; a polynomial main
// transformation and its stored inverse are applied on their own.
//
// The photo is not owned; its camera is used while converting, so the photo
// must outlive the conversion object.
class TARVIS_API KaBikoTransform {
public:
    KaBikoTransform(KaPhoto const* photo, eConvertBikoMode mode);
    KaBikoTransform(KaBikoTransform const& other) = default;
    KaBikoTransform& operator=(KaBikoTransform const& other) = default;
    virtual ~KaBikoTransform();

    // Converts x and y in place; z is not used.
    void Transform(double* x, double* y, double* z) const;
    void Transform(KaPoint* p) const;

    KaMatrix const& GetTransformation() const { return m_trafo; }
    bool IsPolyTrafo() const { return m_isPolyTrafo; }
    eConvertBikoMode GetMode() const { return m_mode; }

private:
    void Adjust(double* x, double* y) const;
    void InvAdjust(double* x, double* y) const;

    KaPhoto const* m_photo = nullptr;
    KaMatrix m_trafo{3, 3};
    bool m_isPolyTrafo = false;
    KaReseauTrafo m_mainTrafo;
    KaReseauTrafo m_polyInvTrafo;
    eConvertBikoMode m_mode = CB_NONE;
};
