#pragma once

#include "TarvisRektExport.h"
#include "foundation/Link.h"
#include "foundation/String.h"
#include "model/KaCamera.h"
#include "model/KaOrthoPhoto.h"
#include "model/KaPhoto.h"
#include "model/KaReseauFile.h"
#include "project/KaStringList.h"
#include "textio/KaReader.h"

#include <iosfwd>

class KaPoint;

// The root of a user's work: photos, orthophotos, the cameras and reseau files
// known to it, and the folders in which reseau files are searched. Cameras and
// reseau files are not stored in the project file; they come from the system
// files named by sKaGeneralTarvoSettings and from the reseau files the photos
// name.
//
// The project owns every element of its lists. Deleted photos wait in a recycle
// bin until it is emptied. A dirty flag tells whether there are unsaved
// changes; every change of it goes through NotifyDirty, which calls the dirty
// handler (if set) with the project as argument.
class TARVISREKT_API KaProject {
public:
    // Empty lists and the file name "Tarvis.pro"; reads the system reseau file
    // and the system camera file.
    KaProject();
    // The same with filename as file name, then Read(filename).
    explicit KaProject(String const& filename);
    // Copies every list (the photos with their point lists, transforms and
    // attributes), the file name, the dirty flag and the dirty handler.
    KaProject(KaProject const& other);
    KaProject& operator=(KaProject const& other);
    virtual ~KaProject();

    // Calls the dirty handler with this project when one is set.
    virtual void NotifyDirty();

    // Files.
    // Reads a project file, appending to what the project holds, then reads the
    // reseau files its photos name. Every read error is logged at level 2 and
    // kept (GetReadErrorList). Returns 1 for a clean read, 0 when the file could
    // not be read completely (what was read before an error stays). The dirty
    // flag is not changed.
    int Read(String const& filename);
    // Writes the project file under a temporary name and renames it into place,
    // so a failed write leaves an existing file as it was. On success the file
    // name becomes filename, the dirty flag is cleared and 1 returned; on failure
    // nothing changes and 0 is returned. The bool argument has no effect.
    int Write(String const& filename, bool unused = false);
    // Writes the project file to os; when the stream is still good afterwards
    // clears the dirty flag (calling NotifyDirty) and returns true.
    bool Write(std::ostream& os);
    // Destroys all cameras, then reads the named camera file. Returns 1.
    int ReadCameraFile(String const& filename);
    // Reads the named reseau file (or digital camera reseau file) into the
    // reseau files; 1 when something was added.
    int ReadReseauFile(String const& filename);
    String const& GetProjectFilename() const { return m_filename; }
    void SetProjectFilename(char const* filename) { m_filename = filename; }
    // The errors of the last Read, in file order.
    KaReaderErrorList const& GetReadErrorList() const { return m_readErrors; }
    int GetReadErrorCount() const { return m_readErrors.Count(); }

    // Photos.
    KaPhotoList& GetPhotoList() { return m_photos; }
    KaPhotoList const& GetPhotoList() const { return m_photos; }
    KaPhoto* FirstPhoto() const { return m_photos.First(); }
    KaPhoto* LastPhoto() const { return m_photos.Last(); }
    KaPhoto* FindPhoto(unsigned int id) const { return m_photos.Find(id); }
    // Unlink only: the caller owns the result (null when not in the project).
    KaPhoto* SubtractPhoto(KaPhoto* photo) { return m_photos.Subtract(photo); }
    KaPhoto* SubtractPhoto(unsigned int id) { return m_photos.Subtract(m_photos.Find(id)); }
    // Appends a copy of photo with its point lists, transforms and attributes;
    // sets the dirty flag. Returns the copy.
    KaPhoto* AddPhoto(KaPhoto const& photo);
    // Moves a photo of this project into the recycle bin. The dirty flag is set
    // in every case. The bool argument has no effect.
    void DeletePhoto(KaPhoto* photo, bool unused = false);
    void DeletePhoto(unsigned int id, bool unused = false);
    // The image point pointId of photo photoId; null when either is missing.
    KaPoint* FindPhotoImo(unsigned int photoId, unsigned int pointId) const;
    // Moves the image files of the digital photos into folder (the file names
    // stay); sets the dirty flag.
    void ChangePathToPhotos(String const& folder);

    // Recycle bin.
    KaPhoto* FirstRecyclePhoto() const { return m_recycle.First(); }
    KaPhotoList const& GetRecycleList() const { return m_recycle; }
    // Moves the photo from the bin to the end of the photos; false when it is
    // not in the bin. The dirty flag is not touched.
    bool RestoreRecyclePhoto(unsigned int id);
    // Both destroy the photos in the bin.
    void EmptyRecycle();
    void EmptyRecyclePhotos();

    // Orthophotos.
    KaOrthoPhotoList& GetOrthoPhotoList() { return m_orthoPhotos; }
    KaOrthoPhotoList const& GetOrthoPhotoList() const { return m_orthoPhotos; }
    KaOrthoPhoto* FirstOrthoPhoto() const { return m_orthoPhotos.First(); }
    KaOrthoPhoto* LastOrthoPhoto() const { return m_orthoPhotos.Last(); }
    KaOrthoPhoto* FindOrthoPhoto(unsigned int id) const { return m_orthoPhotos.Find(id); }
    // Unlink only: the caller owns the result.
    KaOrthoPhoto* SubractOrthoPhoto(KaOrthoPhoto* photo) { return m_orthoPhotos.Subtract(photo); }
    KaOrthoPhoto* SubractOrthoPhoto(unsigned int id) {
        return m_orthoPhotos.Subtract(m_orthoPhotos.Find(id));
    }
    // Appends a copy; sets the dirty flag. Returns the copy.
    KaOrthoPhoto* AddOrthoPhoto(KaOrthoPhoto const& photo);
    // Sets the dirty flag, then unlinks and destroys the orthophoto when it
    // belongs to this project.
    void DeleteOrthoPhoto(KaOrthoPhoto* photo);
    void DeleteOrthoPhoto(unsigned int id);

    // Cameras and reseau files.
    KaCameraList& GetCameraList() { return m_cameras; }
    KaCameraList const& GetCameraList() const { return m_cameras; }
    KaCamera* FirstCamera() const { return m_cameras.First(); }
    // Puts the camera of every photo into the camera list unless a camera of
    // that number is there; without keep the list is emptied first. The list
    // sends one change notification.
    void GenerateCamerasFromProject(bool keep);
    KaReseaufileList& GetReseaufileList() { return m_reseauFiles; }
    KaReseaufileList const& GetReseaufileList() const { return m_reseauFiles; }
    KaReseauFile* FirstReseaufile() const { return m_reseauFiles.First(); }
    KaReseauFile* LastReseaufile() const { return m_reseauFiles.Last(); }
    KaReseauFile* FindReseauFile(KaReseauDataDesc const& desc) const {
        return m_reseauFiles.FindReseauFile(desc);
    }
    KaReseauFile* FindReseauFile(KaPhoto const* photo) const { return m_reseauFiles.FindReseauFile(photo); }
    // Looks the description up; when it is missing, reads the file it names and
    // remembers that file's folder as a reseau path. Null when still missing.
    KaReseauFile* FindOrReadReseauFile(KaReseauDataDesc const& desc);
    // The folders searched for reseau files.
    KaStringList& GetReseauPathList() { return m_reseauPaths; }
    KaStringList const& GetReseauPathList() const { return m_reseauPaths; }

    // Change tracking.
    bool IsDirty() const { return m_dirty; }
    // Stores the flag and calls NotifyDirty; returns the flag.
    bool SetDirty(bool dirty);
    void SetDirtyLink(Link const& link) { m_dirtyLink = link; }
    Link const& GetDirtyLink() const { return m_dirtyLink; }

protected:
    // Reads the system reseau file, then replaces the cameras by those of the
    // system camera file. Returns 1.
    int ReadGeneralTarvoSettingsFiles();
    // Reads the reseau file of every photo whose file is not known yet: from
    // every reseau path where it exists, or, without paths, under its name as
    // it stands. Returns 0.
    int ReadReseauFiles();
    // Capitalises folder in place and appends it to the reseau paths unless it
    // is empty or there already (ASCII case ignored).
    void AddReseauPath(String& folder);
    // Photos read from the version-5.0 layout name their reseau file with its
    // folder: keeps the file name in the photo and the folder as reseau path.
    void ConvertV50ToV60();

private:
    void WriteContents(std::ostream& os) const;

    // Reader handlers of the top-level entries.
    int ReadReseauPath(KaReaderObject* object);
    int ReadPhoto(KaReaderObject* object);
    int ReadOrthoPhoto(KaReaderObject* object);

    KaPhotoList m_photos;
    KaOrthoPhotoList m_orthoPhotos;
    KaStringList m_reseauPaths;
    String m_filename;
    bool m_dirty = false;
    Link m_dirtyLink;
    KaReseaufileList m_reseauFiles;
    KaCameraList m_cameras;
    KaPhotoList m_recycle;
    KaReaderErrorList m_readErrors;
};
