#include "project/KaProject.h"

#include "model/KaAttribute.h"
#include "project/KaGeneralTarvoSettings.h"
#include "rekt/KaRektPlane.h"
#include "runtime/KaLogger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string const DataDir = TARVIS_TEST_DATA_DIR;

class CaptureLogger : public KaLogger {
public:
    CaptureLogger() : KaLogger(4) {}
    int Log(int msgLevel, char const* text) override {
        if (msgLevel == 2)
            errors.emplace_back(text);
        return 1;
    }
    std::vector<std::string> errors;
};

// Counts the calls of the dirty handler and remembers the flag each one saw.
struct DirtyListener {
    int OnDirty(KaProject* project) {
        seen.push_back(project->IsDirty());
        last = project;
        return 1;
    }
    std::vector<bool> seen;
    KaProject* last = nullptr;
};

// Reaches the protected operations.
class OpenProject : public KaProject {
public:
    using KaProject::AddReseauPath;
    using KaProject::ConvertV50ToV60;
};

std::string Slurp(fs::path const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The file without its fourth line, the time of writing.
std::string WithoutDate(std::string const& text) {
    std::istringstream in(text);
    std::string line, out;
    for (int n = 1; std::getline(in, line); ++n)
        if (n != 4)
            out += line + "\n";
    return out;
}

std::vector<std::string> Names(KaStringList const& list) {
    std::vector<std::string> names;
    for (KaListnode const* n = list.First(); n; n = n->Next())
        names.emplace_back(n->GetName().chars());
    return names;
}

class KaProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        master.SetFormat("$mesg");
        master.AddLogger(&capture);
        KaApplicationLogger::RegisterMasterLogger(&master);
        dir = fs::temp_directory_path() / ("kaproject_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        oldCwd = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        KaApplicationLogger::RegisterMasterLogger(nullptr);
        fs::remove_all(dir);
    }

    // A project with two photos (one with image points, a transform, an
    // attribute and the check flag), an orthophoto and two reseau folders.
    static void Fill(KaProject& project) {
        KaPhoto analog(7, "scans/p7.tif");
        analog.SetComment("North \"side\"");
        analog.SetCamera(KaCamera(5, 152.1, 0.01, -0.02, -3.2e-6, 1.5e-10, 70, "Metric C"));
        analog.SetReseauData(KaReseauDataDesc("four.res", 0));
        analog.SetDigiRegion(KaRegion(0, 0, 4000, 4400));
        analog.SetScale(250.125);
        analog.SetActiveFlag(0);
        analog.SetFlag(PointFlagGuiCheckActive);
        analog.AddImo(KaPoint(11, 1.5, 2.5), CB_NONE);
        KaRektTrafo trafo;
        trafo.SetId(2);
        trafo.SetName("Wall east");
        analog.AddRektTrafo(trafo);
        analog.AddAttribute(KaAttribute("colour"));
        project.AddPhoto(analog);

        KaPhoto digital(8, "digital/p8.jpg");
        digital.SetType(KaPhotoDigital);
        digital.SetCamera(KaCamera(9, 45, 0, 0, 0, 0, 0, "Wide B"));
        project.AddPhoto(digital);

        KaOrthoPhoto ortho(3);
        ortho.SetName("ortho/facade.tif");
        ortho.SetComment("Facade south");
        ortho.SetDigiRegion(KaRegion(0, 0, 1000, 800));
        ortho.SetObjectRegion(KaRegion(100, 0, 150, 40));
        KaRektPlaneInfo plane;
        plane.SetPhoto(KaObject(7, "scans/p7.tif"));
        plane.SetRekt(KaObject(2, "Wall east"));
        plane.GetRange() = KaPolygon(KaPoint(0, 0, 0), KaPoint(0, 600, 800));
        ortho.RektPlaneList().Add(plane);
        project.AddOrthoPhoto(ortho);

        project.GetReseauPathList().AddStr("missing");
        project.GetReseauPathList().AddStr((DataDir + "/reseau").c_str());
    }

    KaMasterLogger master;
    CaptureLogger capture;
    fs::path dir;
    fs::path oldCwd;
};

} // namespace

TEST_F(KaProjectTest, EmptyProjectWritesTheHeaderAndReadsBackClean) {
    KaProject project;
    EXPECT_EQ(project.GetProjectFilename(), "Tarvis.pro");
    EXPECT_FALSE(project.IsDirty());

    std::ostringstream os;
    ASSERT_TRUE(project.Write(os));
    std::string const text = os.str();
    std::string const head = "; TARVOSYS 10 Version 6.715 Project File\n"
                             ";               Release Mar 30 2006 10:54:01\n"
                             "; \n"
                             "; Date & Time:  ";
    ASSERT_EQ(text.substr(0, head.size()), head);
    // The date line ends with the ctime line feed and one of its own.
    std::string const tail = "\n\nVERSION 6.715\n\n\n\n; End of File";
    ASSERT_GE(text.size(), head.size() + tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9);

    fs::path const file = dir / "empty.pro";
    ASSERT_EQ(project.Write(file.c_str()), 1);
    KaProject back;
    EXPECT_EQ(back.Read(file.c_str()), 1);
    EXPECT_EQ(back.GetReadErrorCount(), 0);
    EXPECT_TRUE(back.GetPhotoList().IsEmpty());
    EXPECT_TRUE(back.GetOrthoPhotoList().IsEmpty());
    EXPECT_TRUE(back.GetReseauPathList().IsEmpty());
    EXPECT_TRUE(capture.errors.empty());
}

TEST_F(KaProjectTest, WriteReadWriteIsByteForByte) {
    KaProject project;
    Fill(project);
    fs::path const first = dir / "first.pro";
    ASSERT_EQ(project.Write(first.c_str()), 1);
    EXPECT_EQ(project.GetProjectFilename(), first.c_str());

    KaProject back;
    ASSERT_EQ(back.Read(first.c_str()), 1) << (capture.errors.empty() ? "" : capture.errors.front());
    ASSERT_EQ(back.GetPhotoList().Count(), 2);
    KaPhoto const* p7 = back.FindPhoto(7);
    ASSERT_NE(p7, nullptr);
    EXPECT_EQ(p7->GetName(), "scans/p7.tif");
    EXPECT_EQ(p7->GetComment(), "North 'side'");
    EXPECT_EQ(p7->GetCamera().GetId(), 5u);
    EXPECT_EQ(p7->GetRektList().Count(), 1);
    EXPECT_TRUE(p7->IsFlagSet(PointFlagGuiCheckActive));
    EXPECT_TRUE(back.FindPhoto(8)->IsDigital());
    ASSERT_NE(back.FindOrthoPhoto(3), nullptr);
    EXPECT_EQ(back.FindOrthoPhoto(3)->RektPlaneList().Count(), 1);
    EXPECT_EQ(Names(back.GetReseauPathList()), (std::vector<std::string>{"missing", DataDir + "/reseau"}));
    // The photo's reseau file was found in the second folder.
    KaReseauFile const* reseau = back.FindReseauFile(p7);
    ASSERT_NE(reseau, nullptr);
    EXPECT_EQ(reseau->GetCrossList().Count(), 4);

    fs::path const second = dir / "second.pro";
    ASSERT_EQ(back.Write(second.c_str()), 1);
    EXPECT_EQ(WithoutDate(Slurp(first)), WithoutDate(Slurp(second)));
    EXPECT_TRUE(capture.errors.empty());
}

TEST_F(KaProjectTest, WritingIgnoresTheGlobalLocale) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        std::string do_grouping() const override { return "\3"; }
    };
    KaProject project;
    Fill(project);
    std::locale const old = std::locale::global(std::locale(std::locale::classic(), new Comma));
    std::ostringstream os;
    project.Write(os);
    fs::path const file = dir / "locale.pro";
    int const written = project.Write(file.c_str());
    std::locale::global(old);

    EXPECT_EQ(written, 1);
    EXPECT_NE(os.str().find("250.125"), std::string::npos);
    EXPECT_EQ(WithoutDate(os.str()), WithoutDate(Slurp(file)));
    KaProject back;
    EXPECT_EQ(back.Read(file.c_str()), 1);
    EXPECT_DOUBLE_EQ(back.FindPhoto(7)->GetScale(), 250.125);
}

TEST_F(KaProjectTest, HandwrittenFileReadsItsReseauFilesAndRoundTrips) {
    fs::current_path(DataDir); // the reseau folders of the file are relative
    KaProject project("sample.pro");
    EXPECT_EQ(project.GetReadErrorCount(), 0);
    EXPECT_EQ(project.GetProjectFilename(), "sample.pro");
    EXPECT_FALSE(project.IsDirty());
    EXPECT_EQ(Names(project.GetReseauPathList()), (std::vector<std::string>{"missing", "reseau"}));
    ASSERT_EQ(project.GetPhotoList().Count(), 2);
    ASSERT_EQ(project.GetOrthoPhotoList().Count(), 1);
    KaReseauFile const* reseau = project.FindReseauFile(project.FindPhoto(7));
    ASSERT_NE(reseau, nullptr);
    EXPECT_EQ(reseau->GetComment(), "Four crosses");
    EXPECT_EQ(project.GetReseaufileList().Count(), 1);
    EXPECT_EQ(project.FindReseauFile(project.FindPhoto(8)), nullptr);

    fs::path const first = dir / "first.pro";
    fs::path const second = dir / "second.pro";
    ASSERT_EQ(project.Write(first.c_str()), 1);
    KaProject back;
    EXPECT_EQ(back.Read(first.c_str()), 1);
    ASSERT_EQ(back.Write(second.c_str()), 1);
    EXPECT_EQ(WithoutDate(Slurp(first)), WithoutDate(Slurp(second)));

    // Reading into a project that holds data appends to it.
    EXPECT_EQ(back.Read(first.c_str()), 1);
    EXPECT_EQ(back.GetPhotoList().Count(), 4);
    EXPECT_EQ(back.GetReseauPathList().Count(), 4);
    EXPECT_EQ(back.GetReseaufileList().Count(), 1);
}

TEST_F(KaProjectTest, IncompleteReadSaysSoAndLogsEveryError) {
    KaProject project;
    EXPECT_EQ(project.Read((DataDir + "/damaged.pro").c_str()), 0);
    // What came before and after the errors stays.
    EXPECT_EQ(project.GetPhotoList().Count(), 2);
    EXPECT_EQ(project.GetReseauPathList().Count(), 1);

    KaReaderErrorList const& errors = project.GetReadErrorList();
    ASSERT_EQ(errors.Count(), 2);
    EXPECT_EQ(errors.First()->GetStatus(), ParserStatusOK); // the skipped block
    EXPECT_EQ(errors.First()->GetLine(), 5);
    EXPECT_EQ(errors.Last()->GetStatus(), ParserErrorNotSpecifiedToken);
    EXPECT_EQ(errors.Last()->GetLine(), 15);
    ASSERT_EQ(capture.errors.size(), 2u);
    EXPECT_EQ(capture.errors[0], "Read Error: Line #    5 ParserStatusOK");
    EXPECT_EQ(capture.errors[1], "Read Error: Line #   15 ParserErrorNotSpecifiedToken");

    capture.errors.clear();
    KaProject missing;
    EXPECT_EQ(missing.Read((dir / "nowhere.pro").c_str()), 0);
    EXPECT_EQ(missing.GetProjectFilename(), (dir / "nowhere.pro").c_str());
    ASSERT_EQ(capture.errors.size(), 1u);
    EXPECT_EQ(capture.errors[0], "Read Error: Line #    0 ParserErrorStream");

    // A clean read afterwards forgets the old errors.
    std::ofstream(dir / "ok.pro") << "VERSION 6.715\n";
    EXPECT_EQ(missing.Read((dir / "ok.pro").c_str()), 1);
    EXPECT_EQ(missing.GetReadErrorCount(), 0);
}

TEST_F(KaProjectTest, FailedSaveKeepsTheOldFileAndTheDirtyFlag) {
    KaProject project;
    Fill(project);
    ASSERT_TRUE(project.IsDirty());
    fs::path const file = dir / "keep.pro";
    std::ofstream(file) << "old contents\n";

    // A folder that does not exist: nothing is written, nothing reported as saved.
    fs::path const nowhere = dir / "no" / "such.pro";
    EXPECT_EQ(project.Write(nowhere.c_str()), 0);
    EXPECT_TRUE(project.IsDirty());
    EXPECT_EQ(project.GetProjectFilename(), "Tarvis.pro");
    EXPECT_FALSE(fs::exists(nowhere));

    // A file that may not be written to stays as it was.
    fs::permissions(file, fs::perms::owner_read);
    if (::access(file.c_str(), W_OK) != 0) { // not when running as root
        EXPECT_EQ(project.Write(file.c_str()), 0);
        EXPECT_EQ(Slurp(file), "old contents\n");
        EXPECT_TRUE(project.IsDirty());
    }
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);

    ASSERT_EQ(project.Write(file.c_str()), 1);
    EXPECT_FALSE(project.IsDirty());
    EXPECT_NE(Slurp(file).find("PHOTO\n{"), std::string::npos);
    int entries = 0;
    for (auto const& entry : fs::directory_iterator(dir)) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1); // no temporary file left behind
}

TEST_F(KaProjectTest, RecycleBinKeepsDeletedPhotosWhole) {
    KaProject project;
    Fill(project);
    project.SetDirty(false);

    KaPhoto* photo = project.FindPhoto(7);
    ASSERT_EQ(photo->CountImo(), 1);
    project.DeletePhoto(photo);
    EXPECT_TRUE(project.IsDirty());
    EXPECT_EQ(project.FindPhoto(7), nullptr);
    ASSERT_EQ(project.FirstRecyclePhoto(), photo);

    project.SetDirty(false);
    EXPECT_FALSE(project.RestoreRecyclePhoto(99));
    EXPECT_EQ(project.GetRecycleList().Count(), 1);
    ASSERT_TRUE(project.RestoreRecyclePhoto(7));
    EXPECT_FALSE(project.IsDirty());
    EXPECT_EQ(project.FirstRecyclePhoto(), nullptr);
    KaPhoto const* back = project.LastPhoto();
    ASSERT_EQ(back->GetId(), 7u);
    EXPECT_EQ(back->CountImo(), 1);
    EXPECT_EQ(back->GetRektList().Count(), 1);
    EXPECT_NE(back->FindAttribute("colour"), nullptr);
    EXPECT_EQ(project.FindPhotoImo(7, 11), back->FirstImo());
    EXPECT_EQ(project.FindPhotoImo(7, 12), nullptr);
    EXPECT_EQ(project.FindPhotoImo(70, 11), nullptr);

    // A photo that is not the project's is left to its owner.
    KaPhoto foreign(8, "foreign.tif");
    project.SetDirty(false);
    project.DeletePhoto(&foreign);
    EXPECT_TRUE(project.IsDirty());
    EXPECT_EQ(project.FirstRecyclePhoto(), nullptr);
    EXPECT_EQ(project.GetPhotoList().Count(), 2);

    project.DeletePhoto(8u);
    project.DeletePhoto(7u);
    EXPECT_EQ(project.GetRecycleList().Count(), 2);
    project.EmptyRecycle();
    EXPECT_EQ(project.FirstRecyclePhoto(), nullptr);
    EXPECT_TRUE(project.GetPhotoList().IsEmpty());
}

TEST_F(KaProjectTest, DirtyFlagTellsItsListener) {
    KaProject project;
    DirtyListener listener;
    project.SetDirtyLink(Link(&listener, &DirtyListener::OnDirty));

    KaPhoto digital(1, "old/folder/a.jpg");
    digital.SetType(KaPhotoDigital);
    project.AddPhoto(digital);
    project.AddPhoto(KaPhoto(2, "old/folder/b.tif"));
    EXPECT_EQ(listener.seen, (std::vector<bool>{true, true}));
    EXPECT_EQ(listener.last, &project);

    EXPECT_FALSE(project.SetDirty(false));
    project.DeletePhoto(static_cast<KaPhoto*>(nullptr));
    EXPECT_EQ(listener.seen, (std::vector<bool>{true, true, false, true}));

    project.SetDirty(false);
    project.ChangePathToPhotos("new");
    EXPECT_TRUE(project.IsDirty());
    EXPECT_EQ(project.FindPhoto(1)->GetName(), "new/a.jpg");
    EXPECT_EQ(project.FindPhoto(2)->GetName(), "old/folder/b.tif");

    project.SetDirty(false);
    KaOrthoPhoto* ortho = project.AddOrthoPhoto(KaOrthoPhoto(4));
    EXPECT_TRUE(project.IsDirty());
    project.SetDirty(false);
    project.DeleteOrthoPhoto(ortho->GetId());
    EXPECT_TRUE(project.IsDirty());
    EXPECT_TRUE(project.GetOrthoPhotoList().IsEmpty());

    std::size_t const calls = listener.seen.size();
    std::ostringstream os;
    project.Write(os);
    EXPECT_FALSE(project.IsDirty());
    ASSERT_EQ(listener.seen.size(), calls + 1);
    EXPECT_FALSE(listener.seen.back());

    // A copy keeps flag and handler.
    project.SetDirty(true);
    KaProject copy(project);
    EXPECT_TRUE(copy.IsDirty());
    copy.SetDirty(false);
    EXPECT_EQ(listener.last, &copy);
}

TEST_F(KaProjectTest, CopiesAreDeepAndIndependent) {
    KaProject project;
    Fill(project);
    KaProject copy(project);
    KaProject assigned;
    assigned = project;
    for (KaProject const* p : {&copy, &assigned}) {
        ASSERT_EQ(p->GetPhotoList().Count(), 2);
        KaPhoto const* photo = p->FindPhoto(7);
        EXPECT_NE(photo, project.FindPhoto(7));
        EXPECT_EQ(photo->CountImo(), 1);
        EXPECT_EQ(photo->GetRektList().Count(), 1);
        EXPECT_TRUE(photo->IsFlagSet(PointFlagGuiCheckActive));
        EXPECT_EQ(p->FindOrthoPhoto(3)->RektPlaneList().Count(), 1);
        EXPECT_EQ(p->GetReseauPathList().Count(), 2);
    }
    project.DeletePhoto(7u);
    project.EmptyRecycle();
    EXPECT_NE(copy.FindPhoto(7), nullptr);
    EXPECT_EQ(copy.FindPhoto(7)->CountImo(), 1);
}

TEST_F(KaProjectTest, SystemFilesAndCameras) {
    KaGeneralTarvoSettings const saved = sKaGeneralTarvoSettings;
    sKaGeneralTarvoSettings.SetCameraFilename((DataDir + "/system.cam").c_str());
    sKaGeneralTarvoSettings.SetReseauFilename((DataDir + "/system.dres").c_str());
    KaProject project;
    sKaGeneralTarvoSettings = saved;
    EXPECT_EQ(sKaGeneralTarvoSettings.GetCameraFilename(), "Tarvis.cam");

    ASSERT_EQ(project.GetCameraList().Count(), 2);
    EXPECT_EQ(project.FirstCamera()->GetId(), 3u);
    ASSERT_EQ(project.GetReseaufileList().Count(), 1);
    EXPECT_EQ(project.FirstReseaufile()->GetName(), "Cam One");

    // Reading a camera file replaces the cameras.
    EXPECT_EQ(project.ReadCameraFile((DataDir + "/system.cam").c_str()), 1);
    EXPECT_EQ(project.GetCameraList().Count(), 2);

    Fill(project); // photo cameras 5 and 9
    int events = 0;
    struct Counter {
        long OnEvent(void* event) {
            ++*count;
            code = static_cast<KaNotifyEvent*>(event)->code;
            return 0;
        }
        int* count;
        int code = 0;
    } counter{&events};
    KaObserver observer(&project.GetCameraList(), Link(&counter, &Counter::OnEvent));

    project.GenerateCamerasFromProject(true);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(counter.code, KaNotifyEvent::BulkChange);
    ASSERT_EQ(project.GetCameraList().Count(), 3); // 3, 9 and the new 5
    EXPECT_EQ(project.GetCameraList().Last()->GetId(), 5u);
    EXPECT_EQ(project.GetCameraList().Find(9u)->GetInfo(), "Wide B");

    project.GenerateCamerasFromProject(false);
    EXPECT_EQ(events, 2);
    ASSERT_EQ(project.GetCameraList().Count(), 2);
    EXPECT_EQ(project.FirstCamera()->GetId(), 5u);
}

TEST_F(KaProjectTest, ReseauFilesAndFolders) {
    OpenProject project;
    String folder = "my reseau FILES";
    project.AddReseauPath(folder);
    EXPECT_EQ(folder, "My Reseau Files");
    String again = "MY RESEAU files";
    project.AddReseauPath(again);
    String empty;
    project.AddReseauPath(empty);
    EXPECT_EQ(Names(project.GetReseauPathList()), (std::vector<std::string>{"My Reseau Files"}));

    // Found or read, and the folder kept once.
    KaReseauDataDesc const desc((DataDir + "/reseau/four.res").c_str(), 0);
    KaReseauFile* file = project.FindOrReadReseauFile(desc);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetName(), "four.res");
    EXPECT_EQ(project.GetReseauPathList().Count(), 2);
    EXPECT_EQ(project.FindOrReadReseauFile(KaReseauDataDesc("four.res", 0)), file);
    // Asked again with its folder, the entry stays the same object.
    EXPECT_EQ(project.FindOrReadReseauFile(desc), file);
    EXPECT_EQ(project.GetReseaufileList().Count(), 1);
    EXPECT_EQ(project.GetReseauPathList().Count(), 2);
    EXPECT_EQ(project.FindOrReadReseauFile(KaReseauDataDesc((dir / "none.res").c_str(), 0)), nullptr);
    EXPECT_EQ(project.ReadReseauFile((dir / "none.res").c_str()), 0);

    // Photos of the old layout name their reseau file with its folder.
    KaPhoto old(1, "a.tif");
    old.SetReseauData(KaReseauDataDesc("c:\\cams\\net.res", 3));
    project.AddPhoto(old);
    project.ConvertV50ToV60();
    EXPECT_EQ(project.FindPhoto(1)->ReseauData().GetName(), "net.res");
    EXPECT_EQ(project.FindPhoto(1)->ReseauData().GetSubId(), 0u);
    EXPECT_EQ(project.GetReseauPathList().Last()->GetName(), "C:\\Cams");
}
