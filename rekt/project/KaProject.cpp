#include "project/KaProject.h"

#include "model/KaAttribute.h"
#include "project/KaGeneralTarvoSettings.h"
#include "runtime/KaLogger.h"
#include "textio/KaFileName.h"
#include "textio/KaWriter.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <ostream>

namespace {

constexpr char const* ProjectVersion = "6.715";

void Trace(char const* text) {
    if (IsTarvoDebugLoggerInstalled())
        KaApplicationLogger::Log(4, text);
}

// The local time as the C library's ctime gives it, line feed included.
String LocalTimeText() {
    std::time_t const now = std::time(nullptr);
    std::tm local{};
    char buffer[64] = {};
    if (!localtime_r(&now, &local) || !asctime_r(&local, buffer))
        return String("\n");
    return String(buffer);
}

// The photo copy constructor leaves out the point lists, the rectification
// transforms, the attributes and the flag word; a copy held by the project
// must keep them, or they are gone with the next save.
void CopyPhotoContents(KaPhoto const& from, KaPhoto& to) {
    static_cast<KaFlag&>(to) = static_cast<KaFlag const&>(from);
    to.GetImoList() = from.GetImoList();
    to.GetMeasureList() = from.GetMeasureList();
    to.GetRektList() = from.GetRektList();
    for (KaAttribute const* a = from.FirstAttribute(); a; a = a->Next())
        to.AddAttribute(*a);
}

std::unique_ptr<KaPhoto> CopyPhoto(KaPhoto const& photo) {
    auto copy = std::make_unique<KaPhoto>(photo);
    CopyPhotoContents(photo, *copy);
    return copy;
}

std::unique_ptr<KaOrthoPhoto> CopyOrthoPhoto(KaOrthoPhoto const& photo) {
    auto copy = std::make_unique<KaOrthoPhoto>(photo);
    CopyPhotoContents(photo, *copy);
    return copy;
}

void CopyPhotoList(KaPhotoList const& from, KaPhotoList& to) {
    to.SetNotify(false);
    to.Destroy();
    for (KaPhoto const* p = from.First(); p; p = p->Next())
        to.Add(CopyPhoto(*p).release());
    to.SetNotify(true);
    to.NotifyMultiAdd();
}

void CopyOrthoPhotoList(KaOrthoPhotoList const& from, KaOrthoPhotoList& to) {
    to.SetNotify(false);
    to.Destroy();
    for (KaOrthoPhoto const* p = from.First(); p; p = p->Next())
        to.Add(CopyOrthoPhoto(*p).release());
    to.SetNotify(true);
    to.NotifyMultiAdd();
}

} // namespace

KaProject::KaProject() : m_filename("Tarvis.pro") {
    ReadGeneralTarvoSettingsFiles();
}

KaProject::KaProject(String const& filename) : m_filename(filename) {
    ReadGeneralTarvoSettingsFiles();
    Read(filename);
}

KaProject::KaProject(KaProject const& other)
    : m_reseauPaths(other.m_reseauPaths), m_filename(other.m_filename), m_dirty(other.m_dirty),
      m_dirtyLink(other.m_dirtyLink), m_reseauFiles(other.m_reseauFiles), m_cameras(other.m_cameras),
      m_readErrors(other.m_readErrors) {
    CopyPhotoList(other.m_photos, m_photos);
    CopyOrthoPhotoList(other.m_orthoPhotos, m_orthoPhotos);
    CopyPhotoList(other.m_recycle, m_recycle);
}

KaProject& KaProject::operator=(KaProject const& other) {
    if (this == &other)
        return *this;
    CopyPhotoList(other.m_photos, m_photos);
    CopyOrthoPhotoList(other.m_orthoPhotos, m_orthoPhotos);
    m_reseauPaths = other.m_reseauPaths;
    m_filename = other.m_filename;
    m_dirty = other.m_dirty;
    m_dirtyLink = other.m_dirtyLink;
    m_reseauFiles = other.m_reseauFiles;
    m_cameras = other.m_cameras;
    CopyPhotoList(other.m_recycle, m_recycle);
    m_readErrors = other.m_readErrors;
    return *this;
}

KaProject::~KaProject() {
    m_cameras.Destroy();
    m_reseauFiles.Destroy();
    m_reseauPaths.Destroy();
    m_photos.Destroy();
}

void KaProject::NotifyDirty() {
    if (m_dirtyLink.IsSet())
        m_dirtyLink.Call(this);
}

bool KaProject::SetDirty(bool dirty) {
    m_dirty = dirty;
    NotifyDirty();
    return m_dirty;
}

// ---------------------------------------------------------------------------
// Files

int KaProject::ReadGeneralTarvoSettingsFiles() {
    m_reseauFiles.ReadReseauFile(sKaGeneralTarvoSettings.GetReseauFilename());
    ReadCameraFile(sKaGeneralTarvoSettings.GetCameraFilename());
    return 1;
}

int KaProject::ReadCameraFile(String const& filename) {
    m_cameras.Destroy();
    m_cameras.ReadFile(filename.chars());
    return 1;
}

int KaProject::ReadReseauFile(String const& filename) {
    return m_reseauFiles.ReadReseauFile(filename) ? 1 : 0;
}

int KaProject::ReadReseauPath(KaReaderObject* object) {
    return m_reseauPaths.AddString(object) ? 1 : 0;
}

int KaProject::ReadPhoto(KaReaderObject* object) {
    m_photos.AddPhoto(object);
    return 1;
}

int KaProject::ReadOrthoPhoto(KaReaderObject* object) {
    m_orthoPhotos.AddPhoto(object);
    return 1;
}

int KaProject::Read(String const& filename) {
    m_filename = filename;
    Trace("KaProject::Read Start");

    double version = 0.0;
    int unit = 3;
    {
        KaReader reader(filename);
        KaReaderObject entries[] = {
            {"VERSION", &version},
            {"UNIT", &unit},
            {"RESEAUPATH", Link(this, &KaProject::ReadReseauPath)},
            {"PHOTO", Link(this, &KaProject::ReadPhoto)},
            {"ORTHOPHOTO", Link(this, &KaProject::ReadOrthoPhoto)},
        };
        for (KaReaderObject& entry : entries)
            reader.RegisterObject(entry);
        reader.DoProcess(true);

        ReadReseauFiles();

        m_readErrors = *reader.GetReaderErrorList();
        for (KaReaderError const* e = m_readErrors.First(); e; e = e->Next()) {
            char text[128];
            std::snprintf(text, sizeof text, "Read Error: Line #%5d %s", e->GetLine(),
                          GetKaParserStatusText(e->GetStatus()));
            KaApplicationLogger::Log(2, text);
        }
    }

    Trace("KaProject::Read End");
    // A skipped unknown block is listed with the code "OK"; it is no error.
    for (KaReaderError const* e = m_readErrors.First(); e; e = e->Next())
        if (e->GetStatus() != ParserStatusOK)
            return 0;
    return 1;
}

int KaProject::ReadReseauFiles() {
    for (KaPhoto const* photo = m_photos.First(); photo; photo = photo->Next()) {
        if (m_reseauFiles.FindReseauFile(photo))
            continue;
        String const& name = photo->ReseauData().GetName();
        // A photo without reseau file would make every search folder a candidate.
        if (name.empty())
            continue;
        if (!m_reseauPaths.IsEmpty()) {
            for (KaListnode const* path = m_reseauPaths.First(); path; path = path->Next()) {
                String const full = KaMakeFilename(path->GetName(), name);
                if (KaExistFile(full))
                    m_reseauFiles.ReadReseauFile(full);
            }
        } else if (KaExistFile(name)) {
            m_reseauFiles.ReadReseauFile(name);
        }
    }
    return 0;
}

void KaProject::WriteContents(std::ostream& os) const {
    Trace("KaProject::Write Start");
    KaWriterReset();
    os << KaComment << "TARVOSYS 10 Version " << ProjectVersion << " Project File" << '\n';
    os << KaComment << "              Release "
       << "Mar 30 2006"
       << " "
       << "10:54:01" << '\n';
    os << KaComment << '\n';
    os << KaComment << "Date & Time:  " << LocalTimeText() << '\n';
    os << "VERSION"
       << " " << ProjectVersion << '\n'
       << '\n';

    for (KaListnode const* path = m_reseauPaths.First(); path; path = path->Next())
        os << s12 << "RESEAUPATH" << '"' << KaQuotable(path->GetName()) << '"' << Kaendl;
    os << Kaendl;

    for (KaPhoto const* photo = m_photos.First(); photo; photo = photo->Next()) {
        os << "PHOTO" << Kaendl << KaBeginBlockNL;
        photo->Write(os);
        os << KaEndBlockNL << Kaendl << Kaendl;
    }
    os << Kaendl;

    for (KaOrthoPhoto const* photo = m_orthoPhotos.First(); photo; photo = photo->Next()) {
        os << "ORTHOPHOTO" << Kaendl << KaBeginBlockNL;
        photo->Write(os);
        os << KaEndBlockNL << Kaendl << Kaendl;
    }
    os << KaComment << "End of File";
    Trace("KaProject::Write End");
}

bool KaProject::Write(std::ostream& os) {
    WriteContents(os);
    if (!os.good())
        return false;
    m_dirty = false;
    NotifyDirty();
    return true;
}

int KaProject::Write(String const& filename, bool) {
    bool const ok = KaWriteFileReplacing(filename, [this](std::ostream& os) { WriteContents(os); });
    if (!ok)
        return 0;
    m_filename = filename;
    m_dirty = false;
    NotifyDirty();
    return 1;
}

// ---------------------------------------------------------------------------
// Photos and the recycle bin

KaPhoto* KaProject::AddPhoto(KaPhoto const& photo) {
    KaPhoto* copy = m_photos.Add(CopyPhoto(photo).release());
    SetDirty(true);
    return copy;
}

// The photo itself goes into the bin: a copy would leave its point lists and
// rectification transforms behind, and restoring it would not bring them back.
void KaProject::DeletePhoto(KaPhoto* photo, bool) {
    if (photo && m_photos.Subtract(photo))
        m_recycle.Add(photo);
    SetDirty(true);
}

void KaProject::DeletePhoto(unsigned int id, bool unused) {
    DeletePhoto(m_photos.Find(id), unused);
}

bool KaProject::RestoreRecyclePhoto(unsigned int id) {
    KaPhoto* photo = m_recycle.Subtract(m_recycle.Find(id));
    if (!photo)
        return false;
    m_photos.Add(photo);
    return true;
}

void KaProject::EmptyRecycle() {
    m_recycle.Destroy();
}

void KaProject::EmptyRecyclePhotos() {
    m_recycle.Destroy();
}

KaPoint* KaProject::FindPhotoImo(unsigned int photoId, unsigned int pointId) const {
    KaPhoto const* photo = m_photos.Find(photoId);
    return photo ? photo->FindImo(pointId) : nullptr;
}

void KaProject::ChangePathToPhotos(String const& folder) {
    bool changed = false;
    for (KaPhoto* photo = m_photos.First(); photo; photo = photo->Next()) {
        if (photo->GetPhototype() != KaPhotoDigital)
            continue;
        photo->SetName(KaMakeFilename(folder, KaGetFilename(photo->GetName())));
        changed = true;
    }
    if (changed)
        m_photos.NotifyChanged(nullptr, nullptr);
    SetDirty(true);
}

// ---------------------------------------------------------------------------
// Orthophotos

KaOrthoPhoto* KaProject::AddOrthoPhoto(KaOrthoPhoto const& photo) {
    SetDirty(true);
    return m_orthoPhotos.Add(CopyOrthoPhoto(photo).release());
}

void KaProject::DeleteOrthoPhoto(KaOrthoPhoto* photo) {
    SetDirty(true);
    // Only an orthophoto of this project may be destroyed here.
    if (photo)
        delete m_orthoPhotos.Subtract(photo);
}

void KaProject::DeleteOrthoPhoto(unsigned int id) {
    DeleteOrthoPhoto(m_orthoPhotos.Find(id));
}

// ---------------------------------------------------------------------------
// Cameras and reseau files

void KaProject::GenerateCamerasFromProject(bool keep) {
    m_cameras.SetNotify(false);
    if (!keep)
        m_cameras.Destroy();
    for (KaPhoto const* photo = m_photos.First(); photo; photo = photo->Next()) {
        KaCamera const& camera = photo->GetCamera();
        if (!m_cameras.Find(camera.GetId()))
            m_cameras.Add(camera);
    }
    m_cameras.SetNotify(true);
    m_cameras.NotifyChanged(nullptr, nullptr);
}

KaReseauFile* KaProject::FindOrReadReseauFile(KaReseauDataDesc const& desc) {
    if (KaReseauFile* file = m_reseauFiles.FindReseauFile(desc))
        return file;
    KaReseauDataDesc const byName(KaGetFilename(desc.GetName()), 0);
    KaReseauFile* file = m_reseauFiles.FindReseauFile(byName);
    // Reading the file again would replace that entry and leave whoever holds
    // it (a running reseau calculation, say) with a dangling pointer.
    if (!file) {
        m_reseauFiles.ReadReseauFile(desc.GetName());
        file = m_reseauFiles.FindReseauFile(byName);
    }
    if (file) {
        String folder = KaGetPath(desc.GetName());
        AddReseauPath(folder);
    }
    return file;
}

void KaProject::AddReseauPath(String& folder) {
    folder.capitalize();
    if (!folder.empty() && !m_reseauPaths.Find(folder, false))
        m_reseauPaths.AddStr(folder);
}

void KaProject::ConvertV50ToV60() {
    for (KaPhoto* photo = m_photos.First(); photo; photo = photo->Next()) {
        String const name = photo->ReseauData().GetName();
        photo->SetReseauData(KaReseauDataDesc(KaGetFilename(name), 0));
        String folder = KaGetPath(name);
        AddReseauPath(folder);
    }
}
