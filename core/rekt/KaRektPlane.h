#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "geometry/KaPolygon.h"
#include "geometry/KaRegion.h"
#include "model/KaBikoTransform.h"
#include "model/KaPoint.h"
#include "numerics/KaMatrix.h"

#include <iosfwd>

class KaPhoto;
class KaReaderObject;
class KaRektTrafo;

// The working record of one photo's rectification transform during a digital
// rectification. The polygon base is the plane's border in mosaic (later
// output) coordinates; the matrices chain photo pixels, image coordinates,
// plane coordinates, the common mosaic plane and the output raster.
//
// Photo and transform are not owned: they must outlive the plane.
class TARVIS_API KaRectPlane : public KaListnode, public KaPolygon {
public:
    // Prepares the image-to-pixel conversion of the photo and the covered area.
    KaRectPlane(KaPhoto* photo, KaRektTrafo* trafo);
    KaRectPlane(KaRectPlane const& other);
    KaRectPlane& operator=(KaRectPlane const& other);
    ~KaRectPlane() override;

    KaPhoto* GetPhoto() const { return m_photo; }
    // 0 without photo (transform).
    unsigned int GetPhotoId() const;
    KaRektTrafo* GetRektTrafo() const { return m_trafo; }
    unsigned int GetRektId() const;
    // The transform's 3 x 3 image-to-plane matrix; the identity without transform.
    KaMatrix const& GetRektMat() const;
    // The transform's valid region in image coordinates; null without transform.
    KaPolygon const* GetRektRangeBiko() const;

    // The group of nearly parallel planes.
    int GetGroup() const { return m_group; }
    void SetGroup(int group) { m_group = group; }

    // The outline of the covered area in image coordinates.
    KaPolygon const& GetBikoPolygon() const { return m_bikoPolygon; }
    // The rectangle of (0, 0) and the pixel offset between the corners of the
    // covered area, sorted: its width and height are the size in pixels.
    KaRegion const& PixelRect() const { return m_pixelRect; }
    KaBikoTransform const& GetBikoToPixel() const { return m_bikoToPixel; }
    // Photo pixels to image coordinates; the identity for a polynomial reseau
    // transformation, which has no matrix form.
    KaMatrix const& GetPixelToBikoMatrix() const { return m_pixelToBiko; }
    // The rigid motion from the plane's own coordinates into the mosaic plane.
    KaMatrix& GetConnectMatrix() { return m_connect; }
    KaMatrix const& GetConnectMatrix() const { return m_connect; }
    void SetConnectMatrix(KaMatrix const& m) { m_connect = m; }
    // Image coordinates to mosaic coordinates; later output pixels to photo pixels.
    KaMatrix& GetMappingMatrix() { return m_mapping; }
    KaMatrix const& GetMappingMatrix() const { return m_mapping; }
    void SetMappingMatrix(KaMatrix const& m) { m_mapping = m; }
    // The unit normal of the plane in object space.
    KaVector& GetNormal() { return m_normal; }
    KaVector const& GetNormal() const { return m_normal; }
    void SetNormal(KaVector const& n) { m_normal = n; }

    // Appends the image outline, distortion removed where the transform asks for
    // it and mapped with the mapping matrix, to the border. The border is not
    // emptied first.
    void CalcRektBorder();

    KaRectPlane* Next() const { return static_cast<KaRectPlane*>(KaListnode::Next()); }
    KaRectPlane* Previous() const { return static_cast<KaRectPlane*>(KaListnode::Previous()); }

protected:
    // The image outline and the pixel rectangle of the covered area.
    void CalcRektPolygonBiko();

private:
    KaPhoto* m_photo = nullptr;
    KaRektTrafo* m_trafo = nullptr;
    int m_group = 0;
    KaPolygon m_bikoPolygon;
    KaRegion m_pixelRect;
    KaBikoTransform m_bikoToPixel;
    KaMatrix m_pixelToBiko{3, 3};
    KaMatrix m_connect{3, 3};
    KaMatrix m_mapping{3, 3};
    KaVector m_normal{3};
};

// The persistent trace of one rectification plane inside an orthophoto: the
// photo and transform it came from (number and name), the 4 x 4 transformation
// from orthophoto coordinates into object space and the part of the
// orthophoto it covers.
class TARVIS_API KaRektPlaneInfo : public KaListnode {
public:
    KaRektPlaneInfo();
    // toMosaic maps the plane's border coordinates into the mosaic plane; the
    // info maps them straight into object space. A null plane gives the default.
    KaRektPlaneInfo(KaMatrix const& toMosaic, KaRectPlane const* plane);
    // The default, then Read.
    explicit KaRektPlaneInfo(KaReaderObject* object);
    KaRektPlaneInfo(KaRektPlaneInfo const& other);
    KaRektPlaneInfo& operator=(KaRektPlaneInfo const& other);
    ~KaRektPlaneInfo() override;

    unsigned int GetPhotoId() const { return m_photo.GetId(); }
    unsigned int GetRektId() const { return m_rekt.GetId(); }
    KaObject const& GetPhoto() const { return m_photo; }
    KaObject const& GetRekt() const { return m_rekt; }
    void SetPhoto(KaObject const& photo) { m_photo = photo; }
    void SetRekt(KaObject const& rekt) { m_rekt = rekt; }
    KaMatrix const& GetTransformation() const { return m_transformation; }
    // Requires a 4 x 4 matrix (KaErrMatrixAssign is thrown otherwise).
    void SetTransformation(KaMatrix const& m) { m_transformation = m; }
    KaPolygon& GetRange() { return m_range; }
    KaPolygon const& GetRange() const { return m_range; }

    // Maps x, y and z of p into object space; true (false only for a null p).
    bool Transform(KaPoint* p) const;
    // p lies in the range.
    bool Overlap(KaPoint const& p) const { return m_range.Overlap(p); }

    // A reader handler for the contents of a "PLANEINFO" block, in any order.
    // Returns 1.
    int Read(KaReaderObject* object);
    // The contents of a "PLANEINFO" block, one entry a line.
    void Write(std::ostream& os) const;

    KaRektPlaneInfo* Next() const { return static_cast<KaRektPlaneInfo*>(KaListnode::Next()); }
    KaRektPlaneInfo* Previous() const { return static_cast<KaRektPlaneInfo*>(KaListnode::Previous()); }

private:
    int ReadTransformation(KaReaderObject* object);

    KaObject m_photo;
    KaObject m_rekt;
    KaMatrix m_transformation{4, 4};
    KaPolygon m_range;
};

// The plane records of an orthophoto; owns them.
class TARVIS_API KaRektPlaneInfoList : public TKaListHeader<KaRektPlaneInfo> {
public:
    KaRektPlaneInfoList() = default;
    KaRektPlaneInfoList(KaRektPlaneInfoList const& other) = default;
    using TKaListHeader<KaRektPlaneInfo>::operator=;
    KaRektPlaneInfoList& operator=(KaRektPlaneInfoList const& other);
    ~KaRektPlaneInfoList() override;

    // A reader handler: reads one "PLANEINFO" block into a new info and appends
    // it. Returns 1; a block that breaks off adds nothing and the parser status
    // is thrown on.
    int AddPlane(KaReaderObject* object);
    // The first info whose range holds p; null when there is none.
    KaRektPlaneInfo* FindPlane(KaPoint const& p) const;
    // The first info of the photo with that transform number; with rektId 0 the
    // first info of the photo.
    KaRektPlaneInfo* FindPlane(unsigned int photoId, unsigned int rektId) const;
    // Maps p with the first info whose range holds it; false and p unchanged
    // when there is none.
    bool Transform(KaPoint* p) const;
};
