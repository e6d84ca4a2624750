#pragma once

#include "TarvisRektExport.h"
#include "project/KaProject.h"

// Access to the current project for the measurement side, whether or not one is
// loaded: every project operation goes to the current project when one is set
// and to a fallback project of its own otherwise. Photos or cameras put into
// the fallback stay there when a project is set later.
//
// The current project is NOT owned, except that DeleteProject destroys it.
class TARVISREKT_API KaVirtualProject {
public:
    explicit KaVirtualProject(KaProject* project = nullptr);
    // Copies the pointer and the fallback project.
    KaVirtualProject(KaVirtualProject const& other);
    KaVirtualProject& operator=(KaVirtualProject const& other);
    virtual ~KaVirtualProject();

    // Sent around a change of the current project; they do nothing here.
    virtual void NotifyProjectWillChange();
    virtual void NotifyProjectHasChanged();

    KaProject* GetProject() const { return m_project; }
    bool IsProjectValid() const { return m_project != nullptr; }
    // Makes project current (the previous one is not destroyed); notifies only
    // when the pointer changes. Returns the stored pointer.
    KaProject* SetProject(KaProject* project);
    // Destroys the current project (if any) and clears the pointer, notifying
    // in every case.
    void DeleteProject();

    // Forwarded to the current project, or to the fallback.
    void SetProjectFilename(char const* filename) { Target().SetProjectFilename(filename); }
    String const& GetProjectFilename() const { return Target().GetProjectFilename(); }
    int ReadReseauFile(String const& filename) { return Target().ReadReseauFile(filename); }
    KaReseauFile* FindReseauFile(KaReseauDataDesc const& desc) const { return Target().FindReseauFile(desc); }
    KaReseauFile* FindReseauFile(KaPhoto const* photo) const { return Target().FindReseauFile(photo); }
    KaReseauFile* FindOrReadReseauFile(KaReseauDataDesc const& desc) {
        return Target().FindOrReadReseauFile(desc);
    }
    KaReseauFile* FirstReseaufile() const { return Target().FirstReseaufile(); }
    KaReseauFile* LastReseaufile() const { return Target().LastReseaufile(); }
    KaReseaufileList& GetReseaufileList() { return Target().GetReseaufileList(); }
    int ReadCameraFile(String const& filename) { return Target().ReadCameraFile(filename); }
    KaCameraList& GetCameraList() { return Target().GetCameraList(); }
    KaCamera* FirstCamera() const { return Target().FirstCamera(); }
    KaPhoto* AddPhoto(KaPhoto const& photo) { return Target().AddPhoto(photo); }
    KaPhoto* SubtractPhoto(KaPhoto* photo) { return Target().SubtractPhoto(photo); }
    KaPhoto* SubtractPhoto(unsigned int id) { return Target().SubtractPhoto(id); }
    void DeletePhoto(KaPhoto* photo, bool unused = false) { Target().DeletePhoto(photo, unused); }
    void DeletePhoto(unsigned int id, bool unused = false) { Target().DeletePhoto(id, unused); }
    KaPhoto* FindPhoto(unsigned int id) const { return Target().FindPhoto(id); }
    KaPhoto* FirstPhoto() const { return Target().FirstPhoto(); }
    KaPhoto* LastPhoto() const { return Target().LastPhoto(); }
    KaPhotoList& GetPhotoList() { return Target().GetPhotoList(); }
    KaOrthoPhotoList& GetOrthoPhotoList() { return Target().GetOrthoPhotoList(); }
    KaOrthoPhoto* FindOrthoPhoto(unsigned int id) const { return Target().FindOrthoPhoto(id); }
    KaOrthoPhoto* FirstOrthoPhoto() const { return Target().FirstOrthoPhoto(); }
    KaOrthoPhoto* LastOrthoPhoto() const { return Target().LastOrthoPhoto(); }
    KaOrthoPhoto* AddOrthoPhoto(KaOrthoPhoto const& photo) { return Target().AddOrthoPhoto(photo); }
    KaOrthoPhoto* SubractOrthoPhoto(KaOrthoPhoto* photo) { return Target().SubractOrthoPhoto(photo); }
    KaOrthoPhoto* SubractOrthoPhoto(unsigned int id) { return Target().SubractOrthoPhoto(id); }
    void DeleteOrthoPhoto(KaOrthoPhoto* photo) { Target().DeleteOrthoPhoto(photo); }
    void DeleteOrthoPhoto(unsigned int id) { Target().DeleteOrthoPhoto(id); }
    KaPoint* FindPhotoImo(unsigned int photoId, unsigned int pointId) const {
        return Target().FindPhotoImo(photoId, pointId);
    }
    void EmptyRecycle() { Target().EmptyRecycle(); }
    void EmptyRecyclePhotos() { Target().EmptyRecyclePhotos(); }
    bool RestoreRecyclePhoto(unsigned int id) { return Target().RestoreRecyclePhoto(id); }
    KaPhoto* FirstRecyclePhoto() const { return Target().FirstRecyclePhoto(); }
    void GenerateCamerasFromProject(bool keep) { Target().GenerateCamerasFromProject(keep); }
    void ChangePathToPhotos(String const& folder) { Target().ChangePathToPhotos(folder); }
    bool SetDirty(bool dirty) { return Target().SetDirty(dirty); }
    bool IsDirty() const { return Target().IsDirty(); }
    void SetDirtyLink(Link const& link) { Target().SetDirtyLink(link); }

private:
    KaProject& Target() { return m_project ? *m_project : m_fallback; }
    KaProject const& Target() const { return m_project ? *m_project : m_fallback; }

    KaProject* m_project = nullptr;
    KaProject m_fallback;
};
