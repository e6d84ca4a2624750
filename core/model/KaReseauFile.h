#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/String.h"
#include "geometry/KaRegion.h"
#include "model/KaPoint.h"
#include "model/KaPointList.h"

#include <iosfwd>

class KaPhoto;
class KaReaderObject;

// The nominal reseau of a camera in image coordinates [mm]: the crosses, the size
// of the photo and the place of the comment text. The name is the file name of a
// reseau file (without folder) or the camera type of a digital camera entry.
// A cross keeps its code in controlFlags: 0 small cross, 1 big cross, 2 a corner
// of the picture.
class TARVIS_API KaReseauFile : public KaListnode {
public:
    KaReseauFile();
    // Reads the reseau file at path, as ReadFile.
    explicit KaReseauFile(String const& path);
    KaReseauFile(KaReseauFile const& other);
    // Copies identifier, name, sub-id, comment, regions, crosses (with their
    // mask), the valid flag and the pixel size.
    KaReseauFile& operator=(KaReseauFile const& other);
    ~KaReseauFile() override;

    void SetSubId(unsigned int subId) { m_SubId = subId; }
    unsigned int GetSubId() const { return m_SubId; }
    void SetComment(String const& comment) { m_Comment = comment; }
    String const& GetComment() const { return m_Comment; }
    void SetPhotoRegion(KaRegion const& region) { m_PhotoRegion = region; }
    KaRegion const& GetPhotoRegion() const { return m_PhotoRegion; }
    void SetBoxRegion(KaRegion const& region) { m_BoxRegion = region; }
    KaRegion const& GetBoxRegion() const { return m_BoxRegion; }
    KaPointList& GetCrossList() { return m_CrossList; }
    KaPointList const& GetCrossList() const { return m_CrossList; }
    int GetExifPixelWidth() const { return m_ExifPixelWidth; }
    int GetExifPixelHeight() const { return m_ExifPixelHeight; }
    bool IsValid() const { return m_valid; }

    // Reads a reseau file into this object, which starts empty; the name becomes
    // the file-name part of path. Returns 1; IsValid tells whether the file held
    // the comment and both regions.
    int ReadFile(String const& path);

    // A reader handler for a whole reseau file: the quoted comment, the photo and
    // the box region in braces, then crosses in braces up to the end of the input.
    // Errors before the crosses, and errors other than the end of the input inside
    // them, are thrown on to the reader.
    int Read(KaReaderObject* object);
    // The reseau file without its header comment.
    void Write(std::ostream& os) const;
    // The comment lines that begin a reseau file, with the empty line after them.
    static void WriteHeaderComment(std::ostream& os);

    // A reader handler for one entry of a digital camera reseau file, called with
    // its "{" current: camera type, sub-id, comment, pixel width and height, CCD
    // width and height [mm]. The closing brace is left to the reader. When the
    // entry breaks off, this object stays as it was and the status is thrown on.
    int ReadDigitalCameraFormat(KaReaderObject* object);
    // One line of a digital camera reseau file; nothing unless the entry has
    // exactly four crosses.
    void WriteDigitalCameraFormat(std::ostream& os) const;

    // Builds a digital camera entry for a sensor of ccdX by ccdY mm: a photo region
    // 5 % larger than the sensor, the comment box in its lower right corner and
    // four corner crosses appended to the crosses present. Returns false, with
    // only name, comment and pixel size stored, when ccdX or ccdY is 0.
    bool Set(String const& cameraType, String const& comment, int pixelWidth, int pixelHeight, double ccdX,
             double ccdY);

    // Fills an invalid file with an example reseau of nine crosses and makes it
    // valid; a valid file is left alone.
    void GenerateDummyData();

    // "name", then " (subId)" for a sub-id, then " w * h Pixel" for a pixel size.
    String GetDescName() const;

    // The cross nearest to p; none without crosses.
    KaPoint* FindNearest(KaPoint const& p, double* distance) const;
    // The identifiers of the crosses nearest to the upper-left and the lower-right
    // corner of the photo region; both stay unchanged and false is returned
    // without crosses.
    bool FindCrossId(unsigned int& upperLeft, unsigned int& lowerRight) const;
    // Writes the identifiers of the selected crosses (PointFlagGuiSelect) in list
    // order, at most max of them; returns how many.
    int FindUserSelectedCrosses(unsigned int* ids, int max) const;
    // Selects exactly the crosses whose identifier is among the n ids and returns
    // how many of the ids were found. No ids change nothing and return 0.
    int SelectCross(unsigned int const* ids, int n);

    KaReseauFile* Next() const { return static_cast<KaReseauFile*>(KaListnode::Next()); }
    KaReseauFile* Previous() const { return static_cast<KaReseauFile*>(KaListnode::Previous()); }

private:
    unsigned int m_SubId = 0;
    String m_Comment;
    KaRegion m_PhotoRegion;
    KaRegion m_BoxRegion;
    KaPointList m_CrossList;
    bool m_valid = false;
    int m_ExifPixelWidth = 0;
    int m_ExifPixelHeight = 0;
};

// Names the reseau file, or the digital camera entry, of a photo.
class TARVIS_API KaReseauDataDesc {
public:
    KaReseauDataDesc() = default;
    KaReseauDataDesc(String const& name, unsigned int subId) : m_name(name), m_subId(subId) {}
    KaReseauDataDesc(char const* name, unsigned int subId) : m_name(name), m_subId(subId) {}
    // The file's name and sub-id; empty for a null file.
    explicit KaReseauDataDesc(KaReseauFile const* file) { Set(file); }
    KaReseauDataDesc(KaReseauDataDesc const& other) = default;
    KaReseauDataDesc& operator=(KaReseauDataDesc const& other) = default;
    virtual ~KaReseauDataDesc();

    void Set(String const& name, unsigned int subId);
    void Set(KaReseauFile const* file);
    String const& GetName() const { return m_name; }
    unsigned int GetSubId() const { return m_subId; }

    // The names are equal without regard to the case of ASCII letters.
    bool Match(KaReseauDataDesc const& other) const;
    // Match and equal sub-ids.
    bool ExactMatch(KaReseauDataDesc const& other) const;
    // ExactMatch when other has a sub-id, Match otherwise.
    bool operator==(KaReseauDataDesc const& other) const;

private:
    String m_name;
    unsigned int m_subId = 0;
};

// The reseau files and digital camera entries known to a project; owns them.
class TARVIS_API KaReseaufileList : public TKaListHeader<KaReseauFile> {
public:
    KaReseaufileList() = default;
    KaReseaufileList(KaReseaufileList const& other) = default;
    using TKaListHeader<KaReseauFile>::operator=;
    KaReseaufileList& operator=(KaReseaufileList const& other);
    ~KaReseaufileList() override;

    // Reads a reseau file (".res") or a digital camera reseau file (".dres"),
    // told apart by extension and first token. A valid reseau file replaces an
    // entry of the same name (ASCII case ignored); every valid digital camera
    // entry is appended with a fresh identifier. Returns true when a reseau file
    // was added or a digital camera reseau file was read; false otherwise.
    bool ReadReseauFile(String const& path);

    // The first entry whose name and sub-id match d exactly; null when none does.
    KaReseauFile* FindReseauFile(KaReseauDataDesc const& d) const;
    // The entry a photo refers to (defined with the photos).
    KaReseauFile* FindReseauFile(KaPhoto const* photo) const;

    // Writes every entry with four crosses as a digital camera reseau file. The
    // file is written under a temporary name in the same folder and renamed into
    // place. Returns false when it cannot be written.
    bool WriteDigitalCameraFormat(String const& path) const;

protected:
    // A reader handler: one digital camera entry, appended when valid. Returns 1.
    int ReadDigitalCameraFormat(KaReaderObject* object);
    // The entry lines, an empty line and the closing "EOF" comment.
    void WriteDigitalCameraFormat(std::ostream& os) const;
    static void WriteDigitalCameraFormatHeaderComment(std::ostream& os);
};
