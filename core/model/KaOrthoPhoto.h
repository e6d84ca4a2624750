#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "geometry/KaRegion.h"
#include "model/KaPhoto.h"
#include "model/KaPoint.h"
#include "rekt/KaRektPlane.h"

#include <iosfwd>

class KaReaderObject;

// A rectified image: a digital photo whose pixels map onto object space through
// one or more rectification planes. DigiRegion holds its extent in pixels,
// ObjectRegion its extent in object coordinates.
class TARVIS_API KaOrthoPhoto : public KaPhoto {
public:
    // A digital photo with that number, no planes, StatPixel 0, StatTime 1.0,
    // a zero ObjectRegion and MaxAngle 9.0.
    explicit KaOrthoPhoto(unsigned int id);
    // The defaults, then Read; always digital.
    explicit KaOrthoPhoto(KaReaderObject* object);
    // Copies everything assignment copies, the planes included.
    KaOrthoPhoto(KaOrthoPhoto const& other);
    // The photo part as KaPhoto assigns it, the planes (deep), the statistics,
    // ObjectRegion and MaxAngle.
    KaOrthoPhoto& operator=(KaOrthoPhoto const& other);
    ~KaOrthoPhoto() override;

    bool IsOrthoPhoto() const override { return true; }
    // The object size of one pixel along x: |object width / pixel width|, a
    // pixel width of 0 counting as 1.
    double GetPixelSize() const override;
    // The orthophoto entries, one a line.
    void Write(std::ostream& os) const override;
    // A reader handler for the contents of an orthophoto block. Returns 1.
    int Read(KaReaderObject* object) override;

    void SetStatPixel(int pixels) { m_StatPixel = pixels; }
    int GetStatPixel() const { return m_StatPixel; }
    void SetStatTime(double time) { m_StatTime = time; }
    double GetStatTime() const { return m_StatTime; }
    void SetObjectRegion(KaRegion const& region) { m_ObjectRegion = region; }
    KaRegion& GetObjectRegion() { return m_ObjectRegion; }
    KaRegion GetObjectRegion() const { return m_ObjectRegion; }
    // The largest angle between planes [degrees].
    void SetMaxAngle(double angle) { m_MaxAngle = angle; }
    double GetMaxAngle() const { return m_MaxAngle; }
    KaRektPlaneInfoList& RektPlaneList() { return m_PlaneList; }
    KaRektPlaneInfoList const& RektPlaneList() const { return m_PlaneList; }

    // Maps an orthophoto position (x, y, z) into object space: with one plane
    // through that plane, otherwise through the first plane whose range holds
    // it. False for a null point or when no plane takes it (p unchanged).
    bool Transform(KaPoint* p) const;
    // The corners of DigiRegion, counter-clockwise from (left, bottom), mapped
    // into object space with the first plane. False, and the points unchanged,
    // without planes or when a point is null.
    bool GetImageCorners(KaPoint* c1, KaPoint* c2, KaPoint* c3, KaPoint* c4) const;

    KaOrthoPhoto* Next() const { return static_cast<KaOrthoPhoto*>(KaPhoto::Next()); }
    KaOrthoPhoto* Previous() const { return static_cast<KaOrthoPhoto*>(KaPhoto::Previous()); }

protected:
    KaRektPlaneInfoList m_PlaneList;
    int m_StatPixel = 0;
    double m_StatTime = 1.0;
    KaRegion m_ObjectRegion;
    double m_MaxAngle = 9.0;
};

// The orthophotos of a project; owns them.
class TARVIS_API KaOrthoPhotoList : public TKaListHeader<KaOrthoPhoto> {
public:
    KaOrthoPhotoList() = default;
    KaOrthoPhotoList(KaOrthoPhotoList const& other) = default;
    using TKaListHeader<KaOrthoPhoto>::operator=;
    KaOrthoPhotoList& operator=(KaOrthoPhotoList const& other);
    ~KaOrthoPhotoList() override;

    // A reader handler: reads an orthophoto block into a new orthophoto and
    // appends it. Returns it; a block that breaks off adds nothing and the
    // parser status is thrown on.
    KaOrthoPhoto* AddPhoto(KaReaderObject* object);
};
