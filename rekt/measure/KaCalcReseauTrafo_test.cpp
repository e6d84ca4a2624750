#include "measure/KaCalcReseauTrafo.h"

#include "model/KaPhoto.h"
#include "model/KaReseauTrafo.h"
#include "project/KaProject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>

namespace {

// A reseau of n x n crosses, 200 mm apart at the ends, in a photo region of 240 mm.
KaReseauFile* AddReseau(KaProject& project, char const* name, int n) {
    auto* file = new KaReseauFile;
    file->SetName(name);
    file->SetPhotoRegion(KaRegion(-120, -120, 120, 120));
    unsigned int id = 1;
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col)
            file->GetCrossList().Add(
                new KaPoint(id++, -100.0 + 200.0 * col / (n - 1), -100.0 + 200.0 * row / (n - 1)));
    return project.GetReseaufileList().Add(file);
}

// A photo whose measurements are the crosses of file mapped by f.
KaPhoto* AddMeasuredPhoto(KaProject& project, unsigned int id, KaReseauFile const& file,
                          std::function<void(double&, double&)> const& f) {
    KaPhoto photo(id);
    photo.SetReseauData(KaReseauDataDesc(&file));
    KaPhoto* added = project.AddPhoto(photo);
    for (KaPoint const* cross = file.GetCrossList().First(); cross; cross = cross->Next()) {
        KaPoint measured(cross->GetId(), cross->x, cross->y);
        f(measured.x, measured.y);
        added->AddMeasure(measured, CB_NONE);
    }
    return added;
}

// A slightly turned, scaled and sheared scan.
void Scan(double& x, double& y) {
    double const X = x, Y = y;
    x = 0.5 + 1.002 * X + 0.01 * Y;
    y = -0.3 - 0.008 * X + 0.998 * Y;
}

} // namespace

TEST(KaCalcReseauTrafo, FitsTheSuggestedTypeAndStoresItOnThePhoto) {
    KaProject project;
    KaReseauFile* file = AddReseau(project, "Grid.res", 5);
    KaPhoto* photo = AddMeasuredPhoto(project, 1, *file, Scan);
    KaCalcReseauTrafo calc(&project);

    ASSERT_TRUE(calc.CalcReseautrafo(photo, false, KaTrafo2DNone));
    EXPECT_EQ(calc.GetReseauFile(), file);
    // 25 crosses over the whole region allow the polynomial.
    EXPECT_EQ(photo->GetReseauTrafoType(), KaTrafo2DPolynomial);
    EXPECT_EQ(photo->ReseauData().GetName(), String("Grid.res"));
    EXPECT_NEAR(calc.GetResidualX(), 0.0, 1e-6);
    EXPECT_NEAR(calc.GetResidualY(), 0.0, 1e-6);
    for (KaPoint const* cross = file->GetCrossList().First(); cross; cross = cross->Next()) {
        KaPoint measured = *photo->FindMeasure(cross->GetId());
        ASSERT_TRUE(photo->GetReseauMainTrafo().Transform(&measured));
        EXPECT_NEAR(measured.x, cross->x, 1e-6);
        EXPECT_NEAR(measured.y, cross->y, 1e-6);
    }

    // The inverse polynomial maps the nominal crosses onto the measured ones,
    // and the nominal list is in place again afterwards.
    ASSERT_TRUE(calc.CalcInvPolynomTrafo(photo));
    EXPECT_EQ(calc.GetNominalList(), &file->GetCrossList());
    KaPoint nominal = *file->GetCrossList().Find(7u);
    ASSERT_TRUE(photo->GetReseauPolyInv().Transform(&nominal));
    KaPoint const* measured = photo->FindMeasure(7);
    EXPECT_NEAR(nominal.x, measured->x, 1e-6);
    EXPECT_NEAR(nominal.y, measured->y, 1e-6);
}

TEST(KaCalcReseauTrafo, SuggestsByTheDistributionOfTheCrosses) {
    KaProject project;
    KaReseauFile* nine = AddReseau(project, "Nine.res", 3);
    KaPhoto* photo = AddMeasuredPhoto(project, 1, *nine, Scan);
    KaCalcReseauTrafo calc(&project);
    EXPECT_EQ(calc.SuggestReseautrafo(photo), KaTrafo2DNone); // no file in use yet
    ASSERT_TRUE(calc.CalcReseautrafo(photo, false, KaTrafo2DNone));
    EXPECT_EQ(photo->GetReseauTrafoType(), KaTrafo2DProjektiv);

    // Crosses only in the lower half: the affine transformation.
    delete photo->SubtractMeasure(7);
    delete photo->SubtractMeasure(8);
    delete photo->SubtractMeasure(9);
    delete photo->SubtractMeasure(5);
    EXPECT_EQ(calc.SuggestReseautrafo(photo), KaTrafo2DAffin);
}

TEST(KaCalcReseauTrafo, PreTransformationFromTwoCrossesSetsTheScale) {
    KaProject project;
    KaReseauFile* file = AddReseau(project, "Grid.res", 3);
    KaPhoto* photo(project.AddPhoto(KaPhoto(1)));
    photo->SetReseauData(KaReseauDataDesc(file));
    // Two diagonal crosses scanned at twice the size.
    photo->AddMeasure(KaPoint(1, -200.0 + 30, -200.0), CB_NONE);
    photo->AddMeasure(KaPoint(9, 200.0 + 30, 200.0), CB_NONE);
    KaCalcReseauTrafo calc(&project);
    ASSERT_TRUE(calc.CalcReseautrafo(photo, true, KaTrafo2DHelmert));
    EXPECT_EQ(photo->GetReseauPreTrafo().GetType(), KaTrafo2DHelmert);
    EXPECT_NEAR(photo->GetScale(), 2.0, 1e-9);
    EXPECT_EQ(photo->GetReseauMainTrafo().GetType(), KaTrafo2DNone);

    // The measured crosses take their nominal coordinates; others stay.
    photo->AddMeasure(KaPoint(42, 1.0, 2.0), CB_NONE);
    calc.ReplacePointCoords(&photo->GetMeasureList());
    EXPECT_DOUBLE_EQ(photo->FindMeasure(1)->x, -100.0);
    EXPECT_DOUBLE_EQ(photo->FindMeasure(9)->y, 100.0);
    EXPECT_DOUBLE_EQ(photo->FindMeasure(42)->x, 1.0);
}

TEST(KaCalcReseauTrafo, RefusesUnknownTypesAndMissingReseauFiles) {
    KaProject project;
    KaReseauFile* file = AddReseau(project, "Grid.res", 3);
    KaCalcReseauTrafo calc(&project);
    KaPointList list;
    list.Add(new KaPoint(1, 0, 0));
    EXPECT_FALSE(calc.CalcReseautrafo(&list, KaTrafo2DAffin)); // no reseau file in use
    ASSERT_TRUE(calc.SetReseauData(KaReseauDataDesc(file)));
    EXPECT_FALSE(calc.SetReseauData(KaReseauDataDesc("Missing.res", 0)));
    EXPECT_EQ(calc.GetReseauFile(), file);

    KaPhoto* good = AddMeasuredPhoto(project, 1, *file, Scan);
    EXPECT_FALSE(calc.CalcReseautrafo(&good->GetMeasureList(), KaTrafo2DInvHelmert));
    EXPECT_EQ(calc.GetType(), KaTrafo2DNone); // nothing was fitted
    EXPECT_TRUE(calc.CalcReseautrafo(&good->GetMeasureList(), KaTrafo2DAffin));
    EXPECT_FALSE(calc.CalcReseautrafo(nullptr, KaTrafo2DAffin));

    // A photo whose reseau file cannot be found stays as it was, even right
    // after a photo with a known file.
    KaPhoto* lost = AddMeasuredPhoto(project, 2, *file, Scan);
    lost->SetReseauData(KaReseauDataDesc("Missing.res", 0));
    lost->SetRotation(2);
    EXPECT_FALSE(calc.CalcReseautrafo(lost, false, KaTrafo2DAffin));
    EXPECT_FALSE(calc.CalcReseautrafo(lost, true, KaTrafo2DNone));
    EXPECT_EQ(lost->GetReseauTrafoType(), KaTrafo2DNone);
    EXPECT_EQ(lost->GetReseauPreTrafo().GetType(), KaTrafo2DNone);
    EXPECT_EQ(lost->ReseauData().GetName(), String("Missing.res"));
    EXPECT_EQ(calc.CalcPhotoAngle(lost), 0);
    EXPECT_EQ(lost->GetRotation(), 2);
    EXPECT_EQ(calc.GetReseauFile(), nullptr);
    EXPECT_FALSE(calc.CalcReseautrafo(static_cast<KaPhoto*>(nullptr), false, KaTrafo2DAffin));
}

TEST(KaCalcReseauTrafo, PhotoAngleCountsQuarterTurns) {
    EXPECT_EQ(KaCalcReseauTrafo::CalcRelPos(KaPoint(0, 0, 0), KaPoint(0, 1, 1)), 0);
    EXPECT_EQ(KaCalcReseauTrafo::CalcRelPos(KaPoint(0, 0, 0), KaPoint(0, -1, 1)), 1);
    EXPECT_EQ(KaCalcReseauTrafo::CalcRelPos(KaPoint(0, 0, 0), KaPoint(0, -1, -1)), 2);
    EXPECT_EQ(KaCalcReseauTrafo::CalcRelPos(KaPoint(0, 0, 0), KaPoint(0, 1, -1)), 3);

    KaProject project;
    KaReseauFile* file = AddReseau(project, "Grid.res", 3);
    KaCalcReseauTrafo calc(&project);
    struct Case {
        unsigned int id;
        std::function<void(double&, double&)> turn;
        int quarters;
    } const cases[] = {
        {1, [](double&, double&) {}, 0},
        {2, [](double& x, double& y) { x = -std::exchange(y, x); }, 1}, // a quarter turn to the left
        {3, [](double& x, double& y) { x = -x, y = -y; }, 2},
        {4, [](double& x, double& y) { y = -std::exchange(x, y); }, 3}, // a quarter turn to the right
    };
    for (Case const& c : cases) {
        KaPhoto* photo = project.AddPhoto(KaPhoto(c.id));
        photo->SetReseauData(KaReseauDataDesc(file));
        // The first two measurements decide; they are diagonal crosses.
        for (unsigned int id : {3u, 7u, 5u}) {
            KaPoint measured = *file->GetCrossList().Find(id);
            c.turn(measured.x, measured.y);
            photo->AddMeasure(measured, CB_NONE);
        }
        EXPECT_EQ(calc.CalcPhotoAngle(photo), c.quarters) << c.id;
        EXPECT_EQ(photo->GetRotation(), c.quarters);
    }

    KaPointList one;
    one.Add(new KaPoint(1, 0, 0));
    EXPECT_EQ(calc.CalcPhotoAngle(&one), 0);
    one.Add(new KaPoint(77, 5, 5)); // not a cross
    EXPECT_EQ(calc.CalcPhotoAngle(&one), 0);
}
