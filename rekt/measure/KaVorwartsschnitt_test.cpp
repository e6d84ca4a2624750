#include "measure/KaVorwartsschnitt.h"

#include "model/KaPhoto.h"
#include "project/KaProject.h"

#include <gtest/gtest.h>

namespace {

// Three photos; photos 1 and 2 hold a temporary point and point 5, photo 3 only point 5.
void FillProject(KaProject& project) {
    for (unsigned int id = 1; id <= 3; ++id) {
        KaPhoto* photo = project.AddPhoto(KaPhoto(id));
        photo->AddMeasure(KaPoint(5, 10.0 * id, 1.0), CB_NONE);
        if (id < 3)
            photo->AddMeasure(KaPoint(KaTempMeasureId, id, id), CB_NONE);
    }
}

} // namespace

TEST(KaVorwartsschnitt, CollectsAndDeletesTemporaryMeasurements) {
    KaProject project;
    FillProject(project);
    KaVorwartsschnitt vws(&project);

    EXPECT_EQ(vws.CollectMeasurements(KaTempMeasureId), 2);
    ASSERT_EQ(vws.GetVWSPoints().Count(), 2);
    EXPECT_EQ(vws.GetVWSPoints().First()->photoId, 1);
    EXPECT_EQ(vws.GetVWSPoints().Last()->photoId, 2);

    EXPECT_EQ(vws.DeleteMeasurements(KaTempMeasureId), 2);
    EXPECT_TRUE(vws.GetVWSPoints().IsEmpty());
    for (KaPhoto* photo = project.FirstPhoto(); photo; photo = photo->Next()) {
        EXPECT_EQ(photo->FindMeasure(KaTempMeasureId), nullptr);
        EXPECT_NE(photo->FindMeasure(5), nullptr);
    }
    EXPECT_EQ(vws.DeleteMeasurements(KaTempMeasureId), 0);
}

TEST(KaVorwartsschnitt, DeletesOneMeasurementAndItsCollectedEntry) {
    KaProject project;
    FillProject(project);
    KaVorwartsschnitt vws(&project);
    ASSERT_EQ(vws.CollectMeasurements(5), 3);

    // A photo the project does not hold, or a number the photo does not hold.
    EXPECT_FALSE(vws.DeleteMeasurement(99, 5));
    EXPECT_FALSE(vws.DeleteMeasurement(3, KaTempMeasureId));
    EXPECT_EQ(vws.GetVWSPoints().Count(), 3);
    EXPECT_EQ(project.FindPhoto(3)->CountMeasure(), 1);

    EXPECT_TRUE(vws.DeleteMeasurement(2, 5));
    EXPECT_EQ(project.FindPhoto(2)->FindMeasure(5), nullptr);
    ASSERT_EQ(vws.GetVWSPoints().Count(), 2);
    for (KaPoint* p = vws.GetVWSPoints().First(); p; p = p->Next())
        EXPECT_NE(p->photoId, 2);
    EXPECT_FALSE(vws.DeleteMeasurement(2, 5));

    // The measurement goes even when it was never collected.
    EXPECT_TRUE(vws.DeleteMeasurement(1, KaTempMeasureId));
    EXPECT_EQ(vws.GetVWSPoints().Count(), 2);
}

TEST(KaVorwartsschnitt, CopiesItsStateAndInitResetsIt) {
    KaProject project;
    FillProject(project);
    KaVorwartsschnitt vws(&project);
    vws.CollectMeasurements(5);
    EXPECT_FALSE(vws.SetDestroyPoints(false));
    vws.GetVWSPos().x = 4.0;

    KaVorwartsschnitt copy(vws);
    EXPECT_EQ(copy.GetProject(), &project);
    EXPECT_EQ(copy.GetVWSPoints().Count(), 3);
    EXPECT_FALSE(copy.GetDestroyPoints());
    EXPECT_DOUBLE_EQ(copy.GetVWSPos().x, 4.0);

    KaVorwartsschnitt assigned;
    assigned = vws;
    EXPECT_EQ(assigned.GetProject(), &project);
    EXPECT_EQ(assigned.GetVWSPoints().Count(), 3);

    copy.Init();
    EXPECT_TRUE(copy.GetDestroyPoints());
    EXPECT_EQ(copy.GetStatus(), 0);
    EXPECT_FALSE(copy.CalcVWS(5, true));
}
