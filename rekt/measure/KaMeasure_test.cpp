#include "measure/KaMeasure.h"

#include "model/KaPhoto.h"
#include "numerics/KaMatrix.h"
#include "project/KaProject.h"
#include "rekt/KaRektTrafo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A device that keeps the commands it is sent.
class RecordingDigitizer : public KaDigitizer {
public:
    explicit RecordingDigitizer(KaVirtualDigitizer* hub, int caps = 0) : KaDigitizer(hub, caps) {}
    bool NotifyProjectChanged() override {
        ++projectNotes;
        return true;
    }
    bool DigitizerCommand(eDigitizercommand command, CmdParam* param) override {
        commands.push_back(command);
        params.push_back(*param);
        return true;
    }
    int projectNotes = 0;
    std::vector<eDigitizercommand> commands;
    std::vector<CmdParam> params;
};

// A front end that records its hooks and answers as told.
class TestMeasure : public KaMeasure {
public:
    // The most derived class initialises the virtual project base.
    explicit TestMeasure(KaProject* project) : KaVirtualProject(project), KaMeasure(project) {}
    using KaMeasure::operator=;

    bool DlgMeasureError() override {
        errors.push_back(GetControl()->errorCode);
        return false;
    }
    bool DlgMeasureWarning() override {
        ++warnings;
        return warningAnswer;
    }
    eDblMeas DlgDoubleMeasure(KaPhoto const*, KaPoint const* earlier, KaPoint const* latest) override {
        doubleEarlier = *earlier;
        doubleLatest = *latest;
        return doubleAnswer;
    }
    KaRektTrafo* DlgSelectRektTrafo(KaPhoto*, KaPoint*) override {
        ++selectAsked;
        return selectAnswer;
    }
    String DlgLoadReseau(String const& proposal) override {
        reseauAsked.push_back(proposal);
        return String();
    }
    void AddMeasureAsDrawItemSymbol(KaMeasureControl const&) override { ++drawn; }
    void MCDisplay3D() override { ++displayed; }
    void MCNotifyProjectHasChanged() override { ++projectNotes; }

    std::vector<int> errors;
    int warnings = 0;
    bool warningAnswer = false;
    eDblMeas doubleAnswer = KaDblMeasNone;
    KaPoint doubleEarlier, doubleLatest;
    int selectAsked = 0;
    KaRektTrafo* selectAnswer = nullptr;
    std::vector<String> reseauAsked;
    int drawn = 0;
    int displayed = 0;
    int projectNotes = 0;
};

// The other end of the links: counts the calls and what they carried.
class Workflow : public LinkHdl {
public:
    long OnMeasure(void* arg) {
        ++measured;
        measureArg = arg;
        return 1;
    }
    long OnCancel(void*) {
        ++cancelled;
        return 1;
    }
    long OnFunktion(void*) {
        ++functions;
        return 1;
    }
    long OnMeasId(void* arg) {
        measIds.push_back(static_cast<KaMeasureControl*>(arg)->measId);
        return 1;
    }
    long OnEstimate(void* arg) {
        static_cast<KaMeasureControl*>(arg)->estimatedPoint = KaPoint(0, 7.0, 8.0);
        return 1;
    }
    void Bind(KaMeasureControl& c) {
        c.SetLinks(Link(this, &Workflow::OnMeasure), Link(this, &Workflow::OnCancel),
                   Link(this, &Workflow::OnFunktion));
        c.SetMeasIdLink(Link(this, &Workflow::OnMeasId));
        c.SetEstimateBikoLink(Link(this, &Workflow::OnEstimate));
    }
    int measured = 0, cancelled = 0, functions = 0;
    void* measureArg = nullptr;
    std::vector<unsigned int> measIds;
};

KaPoint At(double x, double y, unsigned int photo, unsigned int id = 0) {
    KaPoint p(id, x, y);
    p.photoId = static_cast<int>(photo);
    return p;
}

struct Fixture {
    Fixture() : measure(&project) {
        KaPhoto one(1);
        one.SetActiveFlag(0);
        photo = project.AddPhoto(one);
        digitizer = new RecordingDigitizer(&measure);
        measure.EnableDigitizer();
        workflow.Bind(*measure.GetControl());
    }
    KaMeasureControl& Control() { return *measure.GetControl(); }

    KaProject project;
    TestMeasure measure;
    KaPhoto* photo = nullptr;
    RecordingDigitizer* digitizer = nullptr; // owned by the hub
    Workflow workflow;
};

} // namespace

TEST(KaMeasure, DefinitionPointsAreNumberedFromThePhotoAndWrapAtTheLimit) {
    Fixture f;
    f.Control().SetModeDefRekt(0, 4);
    f.photo->AktBikoId() = 4;

    EXPECT_FALSE(f.digitizer->Send2D(At(1.0, 2.0, 1), 0));
    ASSERT_NE(f.photo->FindMeasure(4), nullptr);
    EXPECT_EQ(f.photo->AktBikoId(), 1u);
    EXPECT_EQ(f.workflow.measIds, std::vector<unsigned int>{1u});
    EXPECT_EQ(f.workflow.measured, 1);
    EXPECT_EQ(f.workflow.measureArg, static_cast<void*>(&f.measure));
    EXPECT_TRUE(f.project.IsDirty());

    // The announced number is used next, and the photo counts on from it.
    f.digitizer->Send2D(At(3.0, 4.0, 1), 0);
    EXPECT_NE(f.photo->FindMeasure(1), nullptr);
    EXPECT_EQ(f.photo->AktBikoId(), 2u);
    EXPECT_EQ(f.Control().measId, 0u);
    f.digitizer->Send2D(At(5.0, 6.0, 1), 0);
    EXPECT_NE(f.photo->FindMeasure(2), nullptr);
    EXPECT_EQ(f.photo->CountMeasure(), 3);

    // An inactive photo refuses.
    f.photo->SetActiveFlag(1);
    f.digitizer->Send2D(At(5.0, 6.0, 1), 0);
    EXPECT_EQ(f.measure.errors, std::vector<int>{KaMeasErrPhotoInactive});
    EXPECT_EQ(f.photo->CountMeasure(), 3);
}

TEST(KaMeasure, BoundaryAndConnectionPointsFollowTheirModes) {
    Fixture f;
    // Mode 8 numbers but never stores.
    f.Control().SetModeDefRektBounds(Link(&f.workflow, &Workflow::OnMeasure));
    f.digitizer->Send2D(At(1.0, 1.0, 1), 0);
    f.digitizer->Send2D(At(2.0, 1.0, 1), 0);
    EXPECT_EQ(f.photo->CountMeasure(), 0);
    EXPECT_EQ(f.Control().lastEvent.point.GetId(), 2u);
    EXPECT_EQ(f.workflow.measIds, (std::vector<unsigned int>{2u, 3u}));

    // Mode 9 stores on the bound photo and hands other photos to the rectification.
    KaPhoto two(2);
    two.SetActiveFlag(0);
    KaPhoto* other = f.project.AddPhoto(two);
    f.Control().SetModeRektConnect(1);
    f.digitizer->Send2D(At(1.0, 1.0, 1), 0);
    EXPECT_NE(f.photo->FindMeasure(1), nullptr);
    f.digitizer->Send2D(At(1.0, 1.0, 2), 0);
    EXPECT_EQ(other->CountMeasure(), 0);
    EXPECT_EQ(f.measure.errors, std::vector<int>{KaMeasErrNoRektTrafo});
}

TEST(KaMeasure, RefusesPositionsOutsideTheControlsPhoto) {
    Fixture f;
    f.Control().SetModeRekt();
    f.digitizer->Send2D(At(1.0, 1.0, 9), 0); // no such photo
    f.Control().boundPhotoId = 2;
    f.digitizer->Send2D(At(1.0, 1.0, 1), 0); // another photo than the bound one
    f.Control().boundPhotoId = 0;
    f.digitizer->Send2D(At(1.0, 1.0, 1), 0); // no rectification transform
    EXPECT_EQ(f.measure.errors,
              (std::vector<int>{KaMeasErrNoPhoto, KaMeasErrOtherPhoto, KaMeasErrNoRektTrafo}));
    EXPECT_EQ(f.photo->CountMeasure(), 0);
    EXPECT_EQ(f.workflow.measured, 0);

    // The size pre-measurement takes the bound photo for a position without one.
    f.Control().SetPreReseauSizeMode(1);
    f.digitizer->Send2D(At(1.0, 1.0, 0), 0);
    f.digitizer->Send2D(At(5.0, 4.0, 0), 0);
    EXPECT_NE(f.photo->FindMeasure(1), nullptr);
    EXPECT_NE(f.photo->FindMeasure(2), nullptr);
    KaPhoto two(2);
    f.project.AddPhoto(two);
    f.digitizer->Send2D(At(1.0, 1.0, 2), 0);
    EXPECT_EQ(f.measure.errors.back(), KaMeasErrOtherPhoto);
    EXPECT_EQ(f.Control().photo, f.project.FindPhoto(2));
}

TEST(KaMeasure, ButtonProgrammingHandsTheEventOnUnread) {
    Fixture f;
    f.Control().SetModeProgrammButton();
    EXPECT_TRUE(f.digitizer->Send2D(At(1.0, 1.0, 1), 102));
    EXPECT_EQ(f.workflow.measured, 1);
    EXPECT_EQ(f.Control().measId, 0u); // button "f" was not interpreted
    EXPECT_EQ(f.photo->CountMeasure(), 0);
}

TEST(KaMeasure, ButtonsStepTheNumberAndRunCommands) {
    Fixture f;
    f.Control().SetModeDefRekt(0, 0);
    auto step = [&](unsigned int from, int button) {
        f.Control().measId = from;
        f.digitizer->Send2D(At(1.0, 1.0, 1), button);
        return f.Control().measId;
    };
    EXPECT_EQ(step(30, 98), 20u);          // "b": -10
    EXPECT_EQ(step(34, 98), 30u);          // -10 to the multiple below
    EXPECT_EQ(step(1, 99), 1u);            // "c": -1, never below 1
    EXPECT_EQ(step(250, 100), 300u);       // "d": +100 to the next multiple
    EXPECT_EQ(step(5, 97), 1u);            // "a": -100 from 5
    EXPECT_EQ(step(7, 102), 8u);           // "f": +1
    EXPECT_EQ(f.photo->CountMeasure(), 0); // commands measure nothing
    ASSERT_EQ(f.digitizer->params.size(), 6u);
    EXPECT_EQ(f.digitizer->commands.back(), KaDigiCmdDevice);
    EXPECT_EQ(f.digitizer->params.back().param, 0);
    EXPECT_EQ(f.workflow.measIds.size(), 6u);

    // Without measId the photo's number is stepped.
    f.Control().measId = 0;
    f.photo->AktBikoId() = 12;
    f.digitizer->Send2D(At(1.0, 1.0, 1), 101); // "e": +10
    EXPECT_EQ(f.Control().measId, 20u);

    KaButtonCommandInterpreter& table = f.digitizer->GetButtonTable();
    table.SetButtonCommand(KaDigiBtnCancel, 'q');
    table.SetButtonCommand(KaDigiBtnFunction2, 'w');
    table.SetButtonCommand(KaDigiBtnDisable, 'o');
    f.digitizer->Send2D(At(1.0, 1.0, 1), 'q');
    f.digitizer->Send2D(At(1.0, 1.0, 1), 'w');
    EXPECT_EQ(f.workflow.cancelled, 1);
    EXPECT_EQ(f.workflow.functions, 1);
    f.measure.SetMode(KaMeasModeHL103);
    f.digitizer->Send2D(At(1.0, 1.0, 1), 'w');
    EXPECT_EQ(f.workflow.functions, 1);

    // "A" sends the device command with parameter 2.
    f.digitizer->Send2D(At(1.0, 1.0, 1), 'A');
    EXPECT_EQ(f.digitizer->params.back().param, 2);
    EXPECT_EQ(f.digitizer->params.back().photoId, 1u);

    f.digitizer->Send2D(At(1.0, 1.0, 1), 'o');
    EXPECT_FALSE(f.measure.IsDigitizerEnabled());
    EXPECT_FALSE(f.digitizer->Send2D(At(1.0, 1.0, 1), 0));
    EXPECT_EQ(f.photo->CountMeasure(), 0);
}

TEST(KaMeasure, DrivingUsesTheEstimateInTheReseauModes) {
    Fixture f;
    f.Control().SetReseauMode(0.5, false);
    f.digitizer->Send2D(At(1.0, 1.0, 1), 'X');
    ASSERT_FALSE(f.digitizer->params.empty());
    EXPECT_EQ(f.digitizer->params.back().param, 1);
    EXPECT_DOUBLE_EQ(f.digitizer->params.back().point.x, 7.0);
    EXPECT_DOUBLE_EQ(f.digitizer->params.back().point.y, 8.0);

    f.Control().SetModeRekt();
    f.digitizer->Send2D(At(1.0, 1.0, 1), 'X');
    EXPECT_DOUBLE_EQ(f.digitizer->params.back().point.x, 0.0);
    EXPECT_EQ(f.digitizer->params.back().param, 1);
    EXPECT_EQ(f.photo->CountMeasure(), 0);
}

namespace {

// A project photo on a reseau of three crosses, 10 mm apart.
void AddReseau(KaProject& project, KaPhoto* photo) {
    auto* file = new KaReseauFile;
    file->SetName("grid.res");
    file->GetCrossList().Add(new KaPoint(1, 0.0, 0.0));
    file->GetCrossList().Add(new KaPoint(2, 10.0, 0.0));
    file->GetCrossList().Add(new KaPoint(3, 0.0, 10.0));
    project.GetReseaufileList().Add(file);
    photo->SetReseauData(KaReseauDataDesc("grid.res", 0));
}

} // namespace

TEST(KaMeasure, ReseauCrossesAreNumberedAfterTheNearestNominalCross) {
    Fixture f;
    AddReseau(f.project, f.photo);

    f.Control().SetReseauMode(0.5, false);
    f.digitizer->Send2D(At(10.5, 0.0, 1), 0); // exactly at the limit
    KaPoint const* cross = f.photo->FindMeasure(2);
    ASSERT_NE(cross, nullptr);
    EXPECT_DOUBLE_EQ(cross->x, 10.5);
    EXPECT_EQ(f.measure.drawn, 1);

    // Beyond the limit: dropped silently without asking.
    f.digitizer->Send2D(At(0.0, 10.6, 1), 0);
    EXPECT_EQ(f.photo->FindMeasure(3), nullptr);
    EXPECT_EQ(f.measure.warnings, 0);
    EXPECT_TRUE(f.measure.errors.empty());

    // With asking, the warning decides.
    f.Control().SetReseauMode(0.5, true);
    f.digitizer->Send2D(At(0.0, 10.6, 1), 0);
    EXPECT_EQ(f.Control().errorCode, KaMeasErrReseauDeviation);
    EXPECT_EQ(f.photo->FindMeasure(3), nullptr);
    f.measure.warningAnswer = true;
    f.digitizer->Send2D(At(0.0, 10.6, 1), 0);
    EXPECT_NE(f.photo->FindMeasure(3), nullptr);
    EXPECT_EQ(f.measure.warnings, 2);
    EXPECT_EQ(f.workflow.measured, 2);

    // A reseau without crosses refuses.
    f.project.FindReseauFile(f.photo)->GetCrossList().Destroy();
    f.digitizer->Send2D(At(0.0, 0.0, 1), 0);
    EXPECT_EQ(f.measure.errors, std::vector<int>{KaMeasErrNoReseauCross});
}

TEST(KaMeasure, DoubleMeasurementsFollowTheAnswer) {
    Fixture f;
    AddReseau(f.project, f.photo);
    f.Control().SetReseauMode(1.0, false);
    f.digitizer->Send2D(At(10.2, 0.2, 1), 0);
    EXPECT_EQ(f.measure.doubleEarlier.GetId(), 0u); // not asked for the first one

    f.measure.doubleAnswer = KaDblMeasKeepOld;
    f.digitizer->Send2D(At(9.6, -0.4, 1), 0);
    EXPECT_DOUBLE_EQ(f.measure.doubleEarlier.x, 10.2);
    EXPECT_DOUBLE_EQ(f.measure.doubleLatest.x, 9.6);
    EXPECT_DOUBLE_EQ(f.photo->FindMeasure(2)->x, 10.2);

    f.measure.doubleAnswer = KaDblMeasMean;
    f.digitizer->Send2D(At(10.0, -0.2, 1), 0);
    EXPECT_DOUBLE_EQ(f.photo->FindMeasure(2)->x, 10.1);
    EXPECT_NEAR(f.photo->FindMeasure(2)->y, 0.0, 1e-12);

    f.measure.doubleAnswer = KaDblMeasReplace;
    f.digitizer->Send2D(At(9.9, 0.1, 1), 0);
    EXPECT_DOUBLE_EQ(f.photo->FindMeasure(2)->x, 9.9);
    EXPECT_EQ(f.photo->CountMeasure(), 1);
}

TEST(KaMeasure, RectificationMeasurementsAreTransformedOrRemoved) {
    Fixture f;
    KaRektTrafo trafo;
    trafo.SetActive(true);
    KaMatrix doubling(3, 3);
    doubling.SetIdent();
    doubling.SetElem(1, 1, 2.0);
    doubling.SetElem(2, 2, 2.0);
    trafo.SetRektMat(doubling);
    f.photo->AddRektTrafo(trafo);

    f.Control().SetModeRekt();
    f.digitizer->Send2D(At(3.0, 4.0, 1), 0);
    KaPoint const* temp = f.photo->FindMeasure(KaTempMeasureId);
    ASSERT_NE(temp, nullptr);
    EXPECT_DOUBLE_EQ(temp->x, 3.0);
    EXPECT_DOUBLE_EQ(f.measure.GetVWSPos().x, 6.0);
    EXPECT_DOUBLE_EQ(f.measure.GetVWSPos().y, 8.0);
    EXPECT_EQ(f.measure.displayed, 1);
    EXPECT_EQ(f.measure.selectAsked, 0);

    // Two transforms: the user chooses; no choice removes the measurement.
    f.photo->AddRektTrafo(trafo);
    f.digitizer->Send2D(At(1.0, 1.0, 1), 0);
    EXPECT_EQ(f.measure.selectAsked, 1);
    EXPECT_EQ(f.photo->FindMeasure(KaTempMeasureId), nullptr);
    EXPECT_EQ(f.measure.displayed, 1);

    // A cancel removes the temporary measurement before the next position.
    f.measure.selectAnswer = f.photo->FirstRektTrafo();
    f.digitizer->Send2D(At(1.0, 1.0, 1), 0);
    ASSERT_NE(f.photo->FindMeasure(KaTempMeasureId), nullptr);
    f.measure.CancelMeasure();
    EXPECT_EQ(f.workflow.cancelled, 1);
    EXPECT_TRUE(f.measure.IsCancelPending());
    f.Control().SetModeDefRekt(5, 0);
    f.digitizer->Send2D(At(1.0, 1.0, 1), 0);
    EXPECT_FALSE(f.measure.IsCancelPending());
    EXPECT_EQ(f.photo->FindMeasure(KaTempMeasureId), nullptr);
    EXPECT_NE(f.photo->FindMeasure(5), nullptr);
}

TEST(KaMeasure, FindsReseauFilesOrFallsBackToTheDummy) {
    KaProject project;
    TestMeasure measure(&project);
    KaPhoto one(1);
    KaPhoto* photo = project.AddPhoto(one);
    AddReseau(project, photo);
    EXPECT_EQ(measure.GetReseaufile(photo), project.FindReseauFile(photo));
    EXPECT_TRUE(measure.reseauAsked.empty());

    KaReseauFile* missing = measure.GetReseaufile(KaReseauDataDesc("/nonexistent/none.res", 0));
    EXPECT_EQ(missing, measure.GetDummyReseaufile());
    EXPECT_EQ(missing->GetCrossList().Count(), 9);
    ASSERT_EQ(measure.reseauAsked.size(), 1u);
    EXPECT_EQ(measure.reseauAsked[0], String("/nonexistent/none.res"));
    EXPECT_EQ(measure.GetReseaufile(static_cast<KaPhoto*>(nullptr)), measure.GetDummyReseaufile());
}

TEST(KaMeasure, MapsTheStackOnTheHubAndPassesProjectChangesOn) {
    KaProject first, second;
    TestMeasure measure(&first);
    auto* digitizer = new RecordingDigitizer(&measure);
    EXPECT_FALSE(measure.IsDigitizerEnabled());
    measure.PushControl();
    measure.EnableDigitizer();
    measure.PopControl(false);
    EXPECT_FALSE(measure.IsDigitizerEnabled()); // the covered control's state is back

    measure.SetProject(&second);
    EXPECT_EQ(digitizer->projectNotes, 1);
    EXPECT_EQ(measure.projectNotes, 1);

    EXPECT_TRUE(measure.RemoveCurrentMeasurement());
    EXPECT_FALSE(measure.ReceiveDigitzer3dData(KaPoint(1, 1.0, 2.0, 3.0)));
    measure.SetSpecialMode(static_cast<eKaMeasSpecial>(3));
    EXPECT_EQ(measure.GetSpecialMode(), 3);
}
