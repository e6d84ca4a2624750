#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/String.h"
#include "geometry/KaRegion.h"
#include "model/KaAttribute.h"
#include "model/KaBikoTransform.h"
#include "model/KaCamera.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "model/KaReseauFile.h"
#include "model/KaReseauTrafo.h"
#include "rekt/KaRektTrafo.h"

#include <iosfwd>

class KaReaderObject;

enum eKaPhototype : int { KaPhotoAnalog = 0, KaPhotoDigital = 1 };

// One image of a project: a scanned analog photo with reseau crosses or a
// digital photo. The identifier is the photo number, the name the path of the
// image file. A photo owns its two image point lists ("imo" as first stored,
// "measure" as converted for computation), its rectification transforms and
// its attributes.
//
// ActiveFlag: 0 active, 2 extern, any other value (1 by default) not active.
// The flag word holds PointFlagGuiCheckActive (0x2).
class TARVIS_API KaPhoto : public KaListnode, public KaFlag {
public:
    explicit KaPhoto(unsigned int id);
    KaPhoto(unsigned int id, String const& name);
    // Copies what assignment copies; the four lists start empty.
    KaPhoto(KaPhoto const& other);
    // The defaults, then Read.
    explicit KaPhoto(KaReaderObject* object);
    // Empties the four lists of this photo (deleting their elements) and resets
    // it as Init, then copies identifier, name, comment, the settings, region,
    // reseau data, the three reseau transformations and the camera. The lists of
    // other are not copied; AktBikoId becomes 0. The flag word stays.
    KaPhoto& operator=(KaPhoto const& other);
    ~KaPhoto() override;

    // Rotation, Layer, Scale, Phototype, DigPictPage, DigPictRot, ScreenScale and
    // AktBikoId 0; ActiveFlag and DigitizerId 1.
    void Init();

    virtual bool IsOrthoPhoto() const { return false; }
    // sqrt(GetPixelSizeX() * GetPixelSizeY()) [mm per pixel].
    virtual double GetPixelSize() const;
    // 5 mm of image x (y) converted to pixels; |5 / d|, d = 1 for a zero distance.
    virtual double GetPixelSizeX() const;
    virtual double GetPixelSizeY() const;
    using KaListnode::Compare;
    // This identifier minus the other's, in 32-bit arithmetic.
    int Compare(KaListnode const* other) const override;
    // The photo entries, one a line.
    virtual void Write(std::ostream& os) const;
    // A reader handler for the contents of a photo block. Returns 1.
    virtual int Read(KaReaderObject* object);

    // Reseau transformations and reseau data.
    void SetReseauPreTrafo(KaReseauTrafo const& trafo) { m_ReseauPreTrafo = trafo; }
    void SetReseauMainTrafo(KaReseauTrafo const& trafo) { m_ReseauMainTrafo = trafo; }
    void SetPolyInvTrafo(KaReseauTrafo const& trafo) { m_PolyInvTrafo = trafo; }
    KaReseauTrafo const& GetReseauPreTrafo() const { return m_ReseauPreTrafo; }
    KaReseauTrafo const& GetReseauMainTrafo() const { return m_ReseauMainTrafo; }
    KaReseauTrafo const& GetReseauPolyInv() const { return m_PolyInvTrafo; }
    // The name and kind of the main reseau transformation.
    char const* GetReseauTrafoName() const { return m_ReseauMainTrafo.GetTrafoName(); }
    eKaTrafo2DType GetReseauTrafoType() const { return m_ReseauMainTrafo.GetType(); }
    void SetReseauData(KaReseauDataDesc const& data) { m_ReseauData = data; }
    KaReseauDataDesc const& ReseauData() const { return m_ReseauData; }

    // Plain settings.
    void SetComment(String const& comment) { m_Comment = comment; }
    String const& GetComment() const { return m_Comment; }
    void SetDigiRegion(KaRegion const& region) { m_DigiRegion = region; }
    KaRegion const& GetDigiRegion() const { return m_DigiRegion; }
    void SetRotation(int rotation) { m_Rotation = rotation; }
    int GetRotation() const { return m_Rotation; }
    void SetScale(double scale) { m_Scale = scale; }
    double GetScale() const { return m_Scale; }
    void SetActiveFlag(int flag) { m_ActiveFlag = flag; }
    int GetActiveFlag() const { return m_ActiveFlag; }
    void SetCamera(KaCamera const& camera) { m_Camera = camera; }
    KaCamera const& GetCamera() const { return m_Camera; }
    void SetLayer(int layer) { m_Layer = layer; }
    int GetLayer() const { return m_Layer; }
    void SetType(eKaPhototype type) { m_Phototype = type; }
    eKaPhototype GetPhototype() const { return m_Phototype; }
    void SetDigitizer(unsigned int id) { m_DigitizerId = id; }
    unsigned int GetDigitizerId() const { return m_DigitizerId; }
    void SetDigPictPage(int page) { m_DigPictPage = page; }
    int GetDigPictPage() const { return m_DigPictPage; }
    void SetDigPictRot(int rotation) { m_DigPictRot = rotation; }
    int GetDigPictRot() const { return m_DigPictRot; }
    void SetScreenPos(KaPosition const& pos) { m_ScreenPos = pos; }
    KaPosition const& GetScreenPos() const { return m_ScreenPos; }
    void SetScreenScale(int scale) { m_ScreenScale = scale; }
    int GetScreenScale() const { return m_ScreenScale; }
    // The number of the current image point of a running measurement.
    unsigned int& AktBikoId() { return m_AktBikoId; }

    bool IsDigital() const { return m_Phototype == KaPhotoDigital; }
    bool IsAnalog() const { return m_Phototype != KaPhotoDigital; }
    bool IsActive() const { return m_ActiveFlag == 0; }
    bool IsExtern() const { return m_ActiveFlag == 2; }

    // The point (region) against the digitizing region.
    bool Overlap(KaPoint const* p) const { return m_DigiRegion.Overlap(p); }
    bool Overlap(KaRegion const* region) const { return m_DigiRegion.Overlap(region); }
    // Whether the image file named by the photo's name can be read.
    bool ExistFile() const;

    // Measure list.
    KaPoint* FindMeasure(unsigned int id) const { return m_MeasureList.Find(id, 0, nullptr); }
    KaPoint* FirstMeasure() const { return m_MeasureList.First(); }
    KaPoint* LastMeasure() const { return m_MeasureList.Last(); }
    int CountMeasure() const { return m_MeasureList.Count(); }
    KaPointList& GetMeasureList() { return m_MeasureList; }
    KaPointList const& GetMeasureList() const { return m_MeasureList; }
    // Unlinks the point and hands it to the caller; null when it is not there.
    KaPoint* SubtractMeasure(unsigned int id);
    KaPoint* SubtractMeasure(KaPoint* p);
    void DestroyMeasure() { m_MeasureList.Destroy(); }
    // Converts p in place, gives it this photo's number and puts it in the place
    // of a point with the same number (which is deleted), or appends it. The
    // list takes p over. Returns p.
    KaPoint* AddMeasure(KaPoint* p, eConvertBikoMode mode);
    KaPoint* AddMeasure(KaPoint const& p, eConvertBikoMode mode);

    // Imo list; AddImo is AddMeasure without the photo number.
    KaPoint* FindImo(unsigned int id) const { return m_ImoList.Find(id, 0, nullptr); }
    KaPoint* FirstImo() const { return m_ImoList.First(); }
    KaPoint* LastImo() const { return m_ImoList.Last(); }
    int CountImo() const { return m_ImoList.Count(); }
    KaPointList& GetImoList() { return m_ImoList; }
    KaPointList const& GetImoList() const { return m_ImoList; }
    KaPoint* SubtractImo(unsigned int id);
    void DestroyImo() { m_ImoList.Destroy(); }
    KaPoint* AddImo(KaPoint* p, eConvertBikoMode mode);
    KaPoint* AddImo(KaPoint const& p, eConvertBikoMode mode);

    // Whole lists, without conversion: moves append all points to the other
    // list, copies append copies.
    void MoveImoToMeasure() { m_ImoList.MoveTo(&m_MeasureList); }
    void MoveMeasureToImo() { m_MeasureList.MoveTo(&m_ImoList); }
    void CopyImoToMeasure() { m_ImoList.CopyTo(&m_MeasureList); }
    void CopyMeasureToImo() { m_MeasureList.CopyTo(&m_ImoList); }
    void MoveImoTo(KaPointList* list) { m_ImoList.MoveTo(list); }
    void MoveMeasureTo(KaPointList* list) { m_MeasureList.MoveTo(list); }
    void CopyImoTo(KaPointList* list) const { m_ImoList.CopyTo(list); }
    void CopyMeasureTo(KaPointList* list) const { m_MeasureList.CopyTo(list); }

    // One point, converted on the way; nothing happens (null) when the point is
    // not there. Moving to the measure list sets the photo number.
    KaPoint* MoveImoToMeasure(unsigned int id, eConvertBikoMode mode);
    KaPoint* MoveMeasureToImo(unsigned int id, eConvertBikoMode mode);
    KaPoint* CopyImoToMeasure(unsigned int id, eConvertBikoMode mode);
    KaPoint* CopyMeasureToImo(unsigned int id, eConvertBikoMode mode);

    // Conversions between the photo's coordinate systems (see eConvertBikoMode).
    // ConvertBiko converts x and y of p in place and returns 1.
    int ConvertBiko(KaPoint* p, eConvertBikoMode mode) const;
    void ConvertList(KaPointList* list, eConvertBikoMode mode) const;
    void ConvertMeasure(eConvertBikoMode mode) { ConvertList(&m_MeasureList, mode); }

    // The largest measure number plus 1 (1 for an empty list).
    unsigned int GetFreeBikoId() const { return m_MeasureList.GetFreeId(0); }

    // Rectification transforms.
    KaRektTrafoList& GetRektList() { return m_RektList; }
    KaRektTrafoList const& GetRektList() const { return m_RektList; }
    KaRektTrafo* FirstRektTrafo() const { return m_RektList.First(); }
    KaRektTrafo* LastRektTrafo() const { return m_RektList.Last(); }
    // Appends; the list takes trafo over.
    KaRektTrafo* AddRektTrafo(KaRektTrafo* trafo) { return m_RektList.Add(trafo); }
    KaRektTrafo* AddRektTrafo(KaRektTrafo const& trafo) { return m_RektList.Add(new KaRektTrafo(trafo)); }
    // Unlinks and hands the transform to the caller.
    KaRektTrafo* SubtractRektTrafo(unsigned int id) { return m_RektList.Subtract(m_RektList.Find(id)); }
    KaRektTrafo* FindRektTrafo(unsigned int id) const { return m_RektList.Find(id); }
    // The first transform after `after` (from the first when null) whose valid
    // region is empty or holds p and, with activeOnly, that is active.
    KaRektTrafo* GetRektTrafo(KaPoint const* p, KaRektTrafo const* after, bool activeOnly) const;
    // How many transforms GetRektTrafo would accept for p.
    int CountRektTrafo(KaPoint const* p, bool activeOnly) const;

    // Attributes.
    KaAttributeList& GetAttributeList() { return m_AttributeList; }
    KaAttributeList const& GetAttributeList() const { return m_AttributeList; }
    KaAttribute* FirstAttribute() const { return m_AttributeList.First(); }
    // By name, ASCII case ignored.
    KaAttribute* FindAttribute(String const& name) const { return m_AttributeList.Find(name, false); }
    // Attaches the attribute to this photo, tells it so and appends it; the list
    // takes it over.
    KaAttribute* AddAttribute(KaAttribute* attribute);
    // Appends a copy, tells the copy and attaches it.
    KaAttribute* AddAttribute(KaAttribute const& attribute);
    // Detach and hand back to the caller.
    KaAttribute* SubtractAttribute(KaAttribute* attribute) { return m_AttributeList.Subtract(attribute); }
    KaAttribute* SubtractAttribute(String const& name) {
        return m_AttributeList.Subtract(FindAttribute(name));
    }
    // Detach and delete.
    void DelAttribute(KaAttribute* attribute) { delete SubtractAttribute(attribute); }
    void DelAttribute(String const& name) { delete SubtractAttribute(name); }

    // The digitizing region with both corners mapped with the pre and then the
    // main reseau transformation: the region in image coordinates.
    KaRegion GetBikoRegion() const;

    KaPhoto* Next() const { return static_cast<KaPhoto*>(KaListnode::Next()); }
    KaPhoto* Previous() const { return static_cast<KaPhoto*>(KaListnode::Previous()); }

protected:
    String m_Comment;
    int m_ActiveFlag = 1;
    int m_Layer = 0;
    int m_Rotation = 0;
    double m_Scale = 0.0;
    eKaPhototype m_Phototype = KaPhotoAnalog;
    unsigned int m_DigitizerId = 1;
    KaRegion m_DigiRegion;
    KaCamera m_Camera;
    KaReseauDataDesc m_ReseauData;
    KaReseauTrafo m_ReseauPreTrafo;
    KaReseauTrafo m_ReseauMainTrafo;
    KaReseauTrafo m_PolyInvTrafo;
    KaRektTrafoList m_RektList;
    int m_DigPictPage = 0;
    int m_DigPictRot = 0;
    KaPosition m_ScreenPos;
    int m_ScreenScale = 0;
    KaPointList m_ImoList;
    KaPointList m_MeasureList;
    KaAttributeList m_AttributeList;
    unsigned int m_AktBikoId = 0;

private:
    void DestroyLists();
    double PixelSizeAlong(double dx, double dy) const;

    // Reader handlers of the photo block.
    int ReadUserData(KaReaderObject* object);
    int ReadType(KaReaderObject* object);
    int ReadPhototype(KaReaderObject* object);
    int ReadDigitizerId(KaReaderObject* object);
    int ReadReseauFile(KaReaderObject* object);
    int ReadReseauSubId(KaReaderObject* object);
    int ReadScreenPos(KaReaderObject* object);
};

// The photos of a project; owns them.
class TARVIS_API KaPhotoList : public TKaListHeader<KaPhoto> {
public:
    KaPhotoList() = default;
    KaPhotoList(KaPhotoList const& other) = default;
    using TKaListHeader<KaPhoto>::operator=;
    KaPhotoList& operator=(KaPhotoList const& other);
    ~KaPhotoList() override;

    // A reader handler: reads a photo block into a new photo and appends it.
    KaPhoto* AddPhoto(KaReaderObject* object);
};

// Photo predicates in the form a KaTestFilter takes: 1 or 0, and 0 for anything
// that is not a photo.
TARVIS_API unsigned int IsPhotoDigital(KaObject const* object);
TARVIS_API unsigned int IsPhotoAnalog(KaObject const* object);
TARVIS_API unsigned int IsPhotoExtern(KaObject const* object);
TARVIS_API unsigned int IsPhotoActive(KaObject const* object);
// The main reseau transformation has a kind.
TARVIS_API unsigned int HasPhotoReseau(KaObject const* object);
// The photo has rectification transforms.
TARVIS_API unsigned int HasPhotoRekt(KaObject const* object);
