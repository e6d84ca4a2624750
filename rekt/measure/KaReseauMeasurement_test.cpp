#include "measure/KaReseauMeasurement.h"

#include "geometry/KaRegion.h"
#include "measure/KaMeasure.h"
#include "model/KaPhoto.h"
#include "project/KaProject.h"
#include "rekt/KaRektTrafo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TestMeasure : public KaMeasure {
public:
    explicit TestMeasure(KaProject* project) : KaVirtualProject(project), KaMeasure(project) {}
    using KaMeasure::operator=;
};

// A device that keeps its commands; a digital one measures the image size on
// request by reporting two opposite image corners.
class Device : public KaDigitizer {
public:
    Device(KaVirtualDigitizer* hub, int caps) : KaDigitizer(hub, caps) {}
    bool DigitizerCommand(eDigitizercommand command, CmdParam* param) override {
        commands.push_back(command);
        params.push_back(*param);
        return true;
    }
    bool MeasurePhotoSize(unsigned int photoId) override {
        Send2D(At(0.0, 0.0, photoId), 0);
        Send2D(At(1000.0, 700.0, photoId), 0);
        return true;
    }
    static KaPoint At(double x, double y, unsigned int photo) {
        KaPoint p(0, x, y);
        p.photoId = static_cast<int>(photo);
        return p;
    }
    std::vector<eDigitizercommand> commands;
    std::vector<CmdParam> params;
};

// A front end that knows the image size and counts its destruction.
class TestReseau : public KaReseauMeasurement {
public:
    TestReseau(KaMeasure* measure, bool noControl, int* destroyed = nullptr)
        : KaReseauMeasurement(measure, noControl), m_destroyed(destroyed) {}
    ~TestReseau() override {
        if (m_destroyed)
            ++*m_destroyed;
    }
    bool GetPhotoPixelSize(KaRegion* region, int* rotation) override {
        region->Set(0.0, 0.0, 1000.0, 700.0);
        *rotation = 0;
        return knowsSize;
    }
    bool DlgNoReseaufileSelected() override {
        ++noReseau;
        return false;
    }
    bool DlgNonExternPhotoExist() override {
        ++photoExists;
        return false;
    }
    bool knowsSize = true;
    int noReseau = 0;
    int photoExists = 0;

private:
    int* m_destroyed;
};

// A 5 x 5 grid of crosses 10 mm apart, numbered 10 * row + column from the upper left.
KaReseauFile* AddGrid(KaProject& project) {
    auto* file = new KaReseauFile;
    file->SetName("grid.res");
    file->SetPhotoRegion(KaRegion(-25.0, -25.0, 25.0, 25.0));
    for (int row = 1; row <= 5; ++row)
        for (int col = 1; col <= 5; ++col)
            file->GetCrossList().Add(new KaPoint(static_cast<unsigned int>(10 * row + col),
                                                 -30.0 + 10.0 * col, 30.0 - 10.0 * row));
    project.GetReseaufileList().Add(file);
    return file;
}

// Where the digitizer sees a nominal position: 50 counts per mm.
KaPoint Pixel(KaPoint const& nominal, unsigned int photo, double ex = 0.0) {
    return Device::At(1000.0 + 50.0 * (nominal.x + ex), 1000.0 + 50.0 * nominal.y, photo);
}

int StackSize(KaMeasure& measure) {
    return static_cast<KaMeasureControlStack&>(measure).Count();
}

} // namespace

TEST(KaReseauMeasurement, GuidesAnAnalogPhotoFromThePreMeasurementToTheFinalTransformation) {
    KaProject project;
    TestMeasure measure(&project);
    auto* device = new Device(&measure, 0);
    KaReseauFile* grid = AddGrid(project);
    KaPhoto one(1);
    one.SetReseauData(KaReseauDataDesc("grid.res", 0));
    KaPhoto* photo = project.AddPhoto(one);

    auto* reseau = new TestReseau(&measure, false);
    EXPECT_EQ(StackSize(measure), 2);
    EXPECT_EQ(reseau->GetReseaufile(), grid);
    EXPECT_EQ(reseau->GetCross1(), 11u);
    EXPECT_EQ(reseau->GetCross2(), 55u);

    reseau->Start();
    reseau->NextStep();
    ASSERT_EQ(reseau->GetReseauMeasureStep(), KaReseauStepPreMeasure);
    EXPECT_EQ(reseau->GetPreReseauMode(), KaPreReseauAnalog);
    EXPECT_EQ(measure.GetMode(), KaMeasModePreReseauSize);
    EXPECT_TRUE(measure.IsDigitizerEnabled());

    // Two corners of the photo, then the two crosses.
    device->Send2D(Device::At(0.0, 0.0, 1), 0);
    EXPECT_EQ(reseau->GetPreReseauMeasureStep(), KaPreStepCorner2);
    device->Send2D(Device::At(2000.0, 2000.0, 1), 0);
    EXPECT_EQ(reseau->GetPreReseauMeasureStep(), KaPreStepCross1);
    EXPECT_TRUE(photo->IsActive());
    EXPECT_EQ(photo->GetDigiRegion(), KaRegion(0.0, 0.0, 2000.0, 2000.0));
    EXPECT_EQ(photo->CountMeasure(), 0);
    EXPECT_EQ(measure.GetMode(), KaMeasModePreReseauCross);
    device->Send2D(Pixel(*grid->GetCrossList().Find(11u), 1), 0);
    device->Send2D(Pixel(*grid->GetCrossList().Find(55u), 1), 0);

    ASSERT_EQ(reseau->GetReseauMeasureStep(), KaReseauStepMeasure);
    EXPECT_EQ(photo->GetReseauPreTrafo().GetType(), KaTrafo2DHelmert);
    ASSERT_NE(photo->FindMeasure(11), nullptr);
    ASSERT_NE(photo->FindMeasure(55), nullptr);
    EXPECT_DOUBLE_EQ(photo->FindMeasure(11)->x, -20.0);
    EXPECT_DOUBLE_EQ(photo->FindMeasure(55)->y, -20.0);
    EXPECT_EQ(photo->GetRotation(), 0);
    EXPECT_EQ(measure.GetMode(), KaMeasModeReseau);

    // All crosses, with a small scatter and one cross 0.5 mm off.
    reseau->SetActualTrafo(KaTrafo2DHelmert);
    for (KaPoint const* cross = grid->GetCrossList().First(); cross; cross = cross->Next()) {
        double const scatter = static_cast<double>(static_cast<int>(cross->GetId() * 7 % 5) - 2) * 0.002;
        device->Send2D(Pixel(*cross, 1, cross->GetId() == 33 ? 0.5 : scatter), 0);
    }
    EXPECT_EQ(photo->CountMeasure(), 25);
    EXPECT_EQ(photo->GetReseauTrafoType(), KaTrafo2DHelmert);
    EXPECT_EQ(reseau->GetMaxError(), 33u);
    EXPECT_EQ(reseau->DeleteWrongMeasuredCrosses(), 1);
    EXPECT_EQ(photo->FindMeasure(33), nullptr);
    EXPECT_EQ(reseau->DeleteWrongMeasuredCrosses(), 0);
    double mx = 1.0, my = 1.0;
    EXPECT_TRUE(reseau->GetMediumError(mx, my));
    EXPECT_LT(mx, 0.01);

    // The next cross is predicted from the transformation.
    KaMeasureControl control;
    control.photo = photo;
    control.lastEvent.point = Pixel(*grid->GetCrossList().Find(24u), 1, 1.5);
    ASSERT_EQ(reseau->LnkHdlEstimateBiko(&control), 1);
    EXPECT_EQ(control.estimatedPoint.GetId(), 24u);

    EXPECT_EQ(reseau->FinishPhotoInProject(), 1);
    EXPECT_EQ(photo->CountMeasure(), 0);
    EXPECT_TRUE(photo->IsActive());
    EXPECT_EQ(photo->GetReseauTrafoType(), KaTrafo2DHelmert);

    // Back to the choice: the photo has its reseau, so a new photo is offered.
    reseau->NextStep();
    EXPECT_EQ(reseau->GetReseauMeasureStep(), KaReseauStepSelect);
    EXPECT_EQ(reseau->GetReseauPhoto(), nullptr);
    EXPECT_EQ(reseau->GetEditPhoto().GetId(), 2u);

    delete reseau;
    EXPECT_EQ(StackSize(measure), 1);
    EXPECT_TRUE(device->commands.empty()); // no automatic measurement on an analog photo
}

TEST(KaReseauMeasurement, MeasuresADigitalCameraReseauFromTheImageCorners) {
    KaProject project;
    TestMeasure measure(&project);
    auto* device = new Device(&measure, KaDigiCapsDigital);
    auto* corners = new KaReseauFile;
    corners->SetName("camera.res");
    corners->SetPhotoRegion(KaRegion(-18.0, -12.0, 18.0, 12.0));
    corners->GetCrossList().Add(new KaPoint(1, -17.5, 11.5, 0.0, 2));
    corners->GetCrossList().Add(new KaPoint(2, 17.5, 11.5, 0.0, 2));
    corners->GetCrossList().Add(new KaPoint(3, 17.5, -11.5, 0.0, 2));
    corners->GetCrossList().Add(new KaPoint(4, -17.5, -11.5, 0.0, 2));
    project.GetReseaufileList().Add(corners);
    KaPhoto one(1);
    one.SetType(KaPhotoDigital);
    one.SetReseauData(KaReseauDataDesc("camera.res", 0));
    KaPhoto* photo = project.AddPhoto(one);

    TestReseau reseau(&measure, false);
    EXPECT_TRUE(reseau.IsDigitalCameraReseau());
    reseau.Start();
    reseau.NextStep();
    EXPECT_EQ(reseau.GetPreReseauMode(), KaPreReseauDigitalCamera);
    EXPECT_EQ(reseau.GetPreReseauMeasureStep(), KaPreStepFirstCross);
    EXPECT_FALSE(reseau.CanAutoMeasureCrossBelowMouse());

    // The user points near the upper left corner; the device reports the image size.
    device->Send2D(Device::At(10.0, 690.0, 1), 0);
    ASSERT_EQ(reseau.GetReseauMeasureStep(), KaReseauStepMeasure);
    EXPECT_EQ(photo->GetDigiRegion(), KaRegion(0.0, 0.0, 1000.0, 700.0));
    ASSERT_EQ(photo->CountMeasure(), 4);
    ASSERT_NE(photo->FindMeasure(1), nullptr);
    EXPECT_DOUBLE_EQ(photo->FindMeasure(1)->x, -17.5); // the pre-measured corners take nominal values
    EXPECT_NE(photo->FindMeasure(2), nullptr);
    EXPECT_NE(photo->FindMeasure(4), nullptr);
    EXPECT_NE(photo->GetReseauTrafoType(), KaTrafo2DNone);
    KaPoint corner(0, 1000.0, 700.0);
    photo->ConvertBiko(&corner, CB_PIXEL_TO_BIKO);
    EXPECT_NEAR(corner.x, 17.5, 1e-6);
    EXPECT_NEAR(corner.y, 11.5, 1e-6);
}

namespace {

// The estimate of the first cross of a digital photo on a reseau whose corner
// crosses lie at (+-halfWidth, +-halfHeight) and whose first cross is (7, 4.6).
// otherWidth > 0 adds a measured photo of that digitizer-region width.
bool EstimateFirstCross(double halfWidth, double halfHeight, double otherWidth, KaPoint& estimate) {
    KaProject project;
    TestMeasure measure(&project);
    new Device(&measure, KaDigiCapsDigital);
    auto* file = new KaReseauFile;
    file->SetName("small.res");
    file->SetPhotoRegion(KaRegion(-halfWidth - 1, -halfHeight - 1, halfWidth + 1, halfHeight + 1));
    file->GetCrossList().Add(new KaPoint(1, 7.0, 4.6));
    file->GetCrossList().Add(new KaPoint(2, -halfWidth, halfHeight));
    file->GetCrossList().Add(new KaPoint(3, halfWidth, -halfHeight));
    project.GetReseaufileList().Add(file);
    KaPhoto one(1);
    one.SetType(KaPhotoDigital);
    one.SetReseauData(KaReseauDataDesc("small.res", 0));
    project.AddPhoto(one);
    if (otherWidth > 0.0) {
        KaPhoto two(2);
        two.SetReseauData(KaReseauDataDesc("small.res", 0));
        KaTrafo2d identity;
        identity.SetIdent();
        two.SetReseauMainTrafo(KaReseauTrafo(identity));
        two.SetDigiRegion(KaRegion(0.0, 0.0, otherWidth, 700.0));
        project.AddPhoto(two);
    }

    TestReseau reseau(&measure, false);
    unsigned int c1 = 1, c2 = 3;
    reseau.GuiSelectReseaucrosses(c1, c2);
    reseau.Start();
    reseau.NextStep();
    KaMeasureControl control;
    if (!reseau.LnkHdlEstimateBiko(&control))
        return false;
    estimate = control.estimatedPoint;
    return true;
}

} // namespace

TEST(KaReseauMeasurement, PredictsTheFirstCrossOfADigitalPhoto) {
    KaPoint estimate;
    // Diagonal 48.0: estimated over the 35 x 23 mm picture format.
    ASSERT_TRUE(EstimateFirstCross(19.2, 14.4, 0.0, estimate));
    EXPECT_NEAR(estimate.x, 700.0, 1e-6);
    EXPECT_NEAR(estimate.y, 490.0, 1e-6);
    // Diagonal 50.6: over the crosses themselves.
    ASSERT_TRUE(EstimateFirstCross(20.24, 15.18, 0.0, estimate));
    EXPECT_NEAR(estimate.x, (7.0 + 20.24) / 40.48 * 1000.0, 1e-6);
    EXPECT_NEAR(estimate.y, (4.6 + 15.18) / 30.36 * 700.0, 1e-6);

    // A measured photo of nearly the same width gives the position directly.
    ASSERT_TRUE(EstimateFirstCross(19.2, 14.4, 1049.0, estimate));
    EXPECT_NEAR(estimate.x, 7.0, 1e-9);
    EXPECT_NEAR(estimate.y, 4.6, 1e-9);
    ASSERT_TRUE(EstimateFirstCross(19.2, 14.4, 1051.0, estimate));
    EXPECT_NEAR(estimate.x, 700.0, 1e-6);
}

TEST(KaReseauMeasurement, EditedPhotosGoIntoTheProjectWithoutLosingTheirData) {
    KaProject project;
    TestMeasure measure(&project);
    AddGrid(project);
    KaPhoto one(1);
    one.SetReseauData(KaReseauDataDesc("grid.res", 0));
    KaPhoto* photo = project.AddPhoto(one);
    photo->AddMeasure(KaPoint(5, 1.0, 2.0), CB_NONE);
    photo->AddRektTrafo(KaRektTrafo());

    TestReseau reseau(&measure, true);
    EXPECT_EQ(StackSize(measure), 1);
    EXPECT_EQ(reseau.GuiEditPhotoToProject(), 0);
    EXPECT_EQ(reseau.noReseau, 1);

    reseau.GuiSelectPhoto(1);
    ASSERT_TRUE(reseau.IsValidReseaufile());
    reseau.GetEditPhoto().SetComment("edited");
    EXPECT_EQ(reseau.GuiEditPhotoToProject(), 1);
    EXPECT_EQ(photo->GetComment(), String("edited"));
    EXPECT_EQ(photo->CountMeasure(), 1);
    EXPECT_EQ(photo->GetRektList().Count(), 1);

    EXPECT_EQ(reseau.GuiEditPhotoAsExternToProject(), 0);
    EXPECT_EQ(reseau.photoExists, 1);
    reseau.GuiSelectPhoto(7);
    EXPECT_EQ(reseau.GetReseauPhoto(), nullptr);
    EXPECT_FALSE(reseau.IsValidReseaufile()); // a new photo names no reseau yet
    EXPECT_EQ(reseau.GuiEditPhotoAsExternToProject(), 0);
    reseau.GuiNextReseaufile();
    EXPECT_EQ(reseau.GuiEditPhotoAsExternToProject(), 1);
    ASSERT_NE(project.FindPhoto(7), nullptr);
    EXPECT_TRUE(project.FindPhoto(7)->IsExtern());
    EXPECT_EQ(project.FindPhoto(7)->ReseauData().GetName(), String("grid.res"));
}

TEST(KaReseauMeasurement, LeavesTheStackCleanWhenTerminatedOrCovered) {
    KaProject project;
    TestMeasure measure(&project);
    AddGrid(project);

    int destroyed = 0;
    new TestReseau(&measure, false, &destroyed);
    EXPECT_EQ(StackSize(measure), 2);
    measure.NotifyTerminate();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(StackSize(measure), 1);

    // Covered by another workflow: the own control goes, the links to it too.
    auto* reseau = new TestReseau(&measure, false, &destroyed);
    KaMeasureControl* covering = measure.PushControl();
    EXPECT_TRUE(covering->measureLink.IsSet());
    delete reseau;
    EXPECT_EQ(StackSize(measure), 2);
    EXPECT_EQ(measure.GetControl(), covering);
    EXPECT_FALSE(covering->measureLink.IsSet());
    EXPECT_FALSE(covering->estimateBikoLink.IsSet());
}
