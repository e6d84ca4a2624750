#include "rectify/KaRektCutHelper.h"

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
    void ShowRektPlanes(unsigned int photoId) override { shown.push_back(photoId); }
    std::vector<unsigned int> shown;
};

class CountingHelper : public KaRektCutHelper {
public:
    using KaRektCutHelper::KaRektCutHelper;
    void NotifyPhotoSelected() override { ++photoNotes; }
    void NotifyPlaneSelected() override { ++planeNotes; }
    void NotifyLastMeasurement(KaPoint const&) override { ++measureNotes; }
    int photoNotes = 0, planeNotes = 0, measureNotes = 0;
};

class CutHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        photo = project.GetPhotoList().Add(new KaPhoto(4));
        photo->SetType(KaPhotoDigital);
        photo->SetDigiRegion(KaRegion(0.0, 0.0, 1000.0, 800.0));
        trafo = new KaRektTrafo;
        trafo->SetId(1);
        KaPolygon& region = trafo->GetRegion();
        region.AddPoint(KaPoint(1, 0.0, 0.0));
        region.AddPoint(KaPoint(2, 100.0, 0.0));
        region.AddPoint(KaPoint(3, 100.0, 100.0));
        region.AddPoint(KaPoint(4, 0.0, 100.0));
        region.UpdateMinMax();
        photo->AddRektTrafo(trafo);
    }

    void Measure(CountingHelper& helper, unsigned int id, double x, double y) {
        KaMeasureControl* control = measure.GetControl();
        control->photo = photo;
        control->lastEvent.point = KaPoint(id, x, y);
        EXPECT_EQ(helper.MeasureLink(nullptr), 1);
    }

    std::vector<unsigned int> VertexIds() const {
        std::vector<unsigned int> ids;
        for (KaPoint* p = trafo->GetRegion().First(); p; p = p->Next())
            ids.push_back(p->GetId());
        return ids;
    }

    KaProject project;
    TestMeasure measure{&project};
    KaPhoto* photo = nullptr;
    KaRektTrafo* trafo = nullptr;
};

using Ids = std::vector<unsigned int>;

TEST_F(CutHelperTest, MeasuringActivatesInsertsAndReplacesVertices) {
    eKaMeasureMode const before = measure.GetControl()->mode;
    {
        CountingHelper helper(&measure);
        EXPECT_EQ(measure.GetControl()->mode, KaMeasModeDefRektBounds);
        EXPECT_EQ(measure.shown, (std::vector<unsigned int>{0}));

        // The only covering transform is inactive: switched on, nothing stored.
        Measure(helper, 9, 50.0, 50.0);
        EXPECT_EQ(helper.GetPhoto(), photo);
        EXPECT_EQ(measure.GetControl()->boundPhotoId, 4u);
        EXPECT_EQ(helper.GetTrafo(), trafo);
        EXPECT_TRUE(trafo->IsActive());
        EXPECT_EQ(helper.planeNotes, 1);
        EXPECT_EQ(helper.measureNotes, 0);
        EXPECT_EQ(trafo->GetRegion().Count(), 4);

        // Insert: a vertex numbered 2 goes after vertex 2, then all are renumbered.
        Measure(helper, 2, 50.0, -10.0);
        EXPECT_EQ(helper.measureNotes, 1);
        EXPECT_EQ(VertexIds(), (Ids{1, 2, 3, 4, 5}));
        KaPoint const* inserted = trafo->GetRegion().GetPointList().Find(3, 0, nullptr);
        EXPECT_DOUBLE_EQ(inserted->y, -10.0);
        EXPECT_EQ(inserted->photoId, 4);
        EXPECT_DOUBLE_EQ(trafo->GetRegion().GetMinCorner().y, -10.0);

        // Replace: vertex 3 moves.
        helper.SetInsertMode(0);
        Measure(helper, 3, 60.0, 60.0);
        EXPECT_EQ(VertexIds(), (Ids{1, 2, 3, 4, 5}));
        KaPoint const* moved = trafo->GetRegion().GetPointList().Find(3, 0, nullptr);
        EXPECT_DOUBLE_EQ(moved->x, 60.0);
        EXPECT_DOUBLE_EQ(trafo->GetRegion().GetMinCorner().y, 0.0);
        EXPECT_TRUE(moved->IsFlagSet(PointFlagGuiCheckActive));

        // Delete: renumbered, the number is selected again.
        helper.DelPoint(2);
        EXPECT_EQ(VertexIds(), (Ids{1, 2, 3, 4}));
        int selected = 0;
        for (KaPoint* p = trafo->GetRegion().First(); p; p = p->Next())
            selected += p->IsFlagSet(PointFlagGuiCheckActive) ? 1 : 0;
        EXPECT_EQ(selected, 1);
        EXPECT_TRUE(
            trafo->GetRegion().GetPointList().Find(2, 0, nullptr)->IsFlagSet(PointFlagGuiCheckActive));
    }
    // Destruction deselects and takes the control off.
    EXPECT_EQ(measure.GetControl()->mode, before);
    for (KaPoint* p = trafo->GetRegion().First(); p; p = p->Next())
        EXPECT_FALSE(p->IsFlagSet(PointFlagGuiCheckActive));
}

TEST_F(CutHelperTest, TransformAndRegionOperations) {
    CountingHelper helper(&measure);
    EXPECT_EQ(helper.GetFirstTrafo(), nullptr);
    helper.SetPhoto(photo, true);
    EXPECT_EQ(measure.GetControl()->boundPhotoId, 4u);
    EXPECT_EQ(helper.GetFirstTrafo(), trafo);
    EXPECT_EQ(helper.GetFirstActiveTrafo(), nullptr);
    EXPECT_EQ(helper.DuplicateTrafo(), nullptr);

    helper.SetTrafo(trafo);
    KaRektTrafo* copy = helper.DuplicateTrafo();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetId(), 2u);
    EXPECT_EQ(helper.GetTrafo(), copy);
    EXPECT_EQ(photo->GetRektList().Count(), 2);

    // Bounds from the measured definition points, in a closed path.
    helper.RemoveBounds();
    EXPECT_EQ(copy->GetRegion().Count(), 0);
    copy->GetBikoList().Add(new KaPoint(7, 10.0, 10.0));
    copy->GetBikoList().Add(new KaPoint(8, 20.0, 20.0));
    copy->GetBikoList().Add(new KaPoint(9, 20.0, 10.0));
    copy->GetBikoList().Add(new KaPoint(6, 10.0, 20.0));
    helper.MakeBoundsFromDef();
    EXPECT_EQ(copy->GetRegion().Count(), 4);
    EXPECT_EQ(copy->GetRegion().First()->GetId(), 1u);
    EXPECT_GT(copy->GetRegion().Area(), 99.0); // not a crossed path
    EXPECT_DOUBLE_EQ(copy->GetRegion().GetMaxCorner().x, 20.0);

    EXPECT_FALSE(helper.CopyBoundsFromPlane(5));
    EXPECT_TRUE(helper.CopyBoundsFromPlane(1));
    EXPECT_EQ(copy->GetRegion().Count(), 4);
    EXPECT_DOUBLE_EQ(copy->GetRegion().GetMaxCorner().x, 100.0);
    EXPECT_TRUE(helper.CopyBoundsFromPlane(2)); // its own region stays
    EXPECT_EQ(copy->GetRegion().Count(), 4);

    EXPECT_TRUE(helper.DelPlane());
    EXPECT_EQ(helper.GetTrafo(), nullptr);
    EXPECT_EQ(photo->GetRektList().Count(), 1);
    EXPECT_FALSE(helper.DelPlane());

    // A transform of another photo is not deleted through this one.
    KaPhoto other(9);
    helper.SetPhoto(&other, false);
    helper.SetTrafo(trafo);
    EXPECT_FALSE(helper.DelPlane());
    EXPECT_EQ(photo->GetRektList().Count(), 1);
}

} // namespace
