#include "rectify/KaRektMosaik.h"

#include "model/KaPhoto.h"
#include "rekt/KaRektTrafo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Planes of one photo, numbered by their transforms 1..n, each with a square
// border of side 10 starting at x = 5 * (number - 1).
class MosaikTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (unsigned int id = 1; id <= 3; ++id) {
            auto* trafo = new KaRektTrafo;
            trafo->SetId(id);
            photo.AddRektTrafo(trafo);
            auto* plane = mosaik.Add(new KaRectPlane(&photo, trafo));
            double const x0 = 5.0 * (id - 1);
            plane->AddPoint(KaPoint(1, x0, 0.0));
            plane->AddPoint(KaPoint(2, x0 + 10.0, 0.0));
            plane->AddPoint(KaPoint(3, x0 + 10.0, 10.0));
            plane->AddPoint(KaPoint(4, x0, 10.0));
            plane->UpdateMinMax();
        }
    }

    std::vector<unsigned int> Order() const {
        std::vector<unsigned int> ids;
        for (KaRectPlane* p = mosaik.First(); p; p = p->Next())
            ids.push_back(p->GetRektId());
        return ids;
    }

    KaPhoto photo{7};
    KaRektMosaik mosaik;
};

using Ids = std::vector<unsigned int>;

TEST_F(MosaikTest, UpAndDownMovePlanesAndWrapAtTheEnds) {
    mosaik.UpPlane(mosaik.FindPlane(7, 2));
    EXPECT_EQ(Order(), (Ids{2, 1, 3}));
    mosaik.UpPlane(mosaik.FindPlane(7, 2)); // the first goes to the end
    EXPECT_EQ(Order(), (Ids{1, 3, 2}));
    mosaik.DownPlane(mosaik.FindPlane(7, 2)); // the last goes to the front
    EXPECT_EQ(Order(), (Ids{2, 1, 3}));
    mosaik.DownPlane(mosaik.FindPlane(7, 2));
    EXPECT_EQ(Order(), (Ids{1, 2, 3}));
    mosaik.DownPlane(mosaik.FindPlane(7, 2)); // its successor was last: to the end
    EXPECT_EQ(Order(), (Ids{1, 3, 2}));

    mosaik.UpPlane(nullptr);
    EXPECT_EQ(Order(), (Ids{3, 2, 1}));
    mosaik.DownPlane(nullptr);
    EXPECT_EQ(Order(), (Ids{1, 3, 2}));

    mosaik.TopPlane(mosaik.FindPlane(7, 2));
    EXPECT_EQ(Order(), (Ids{2, 1, 3}));
    mosaik.BottomPlane(mosaik.FindPlane(7, 2));
    EXPECT_EQ(Order(), (Ids{1, 3, 2}));
    mosaik.TopPlane(nullptr);
    EXPECT_EQ(Order(), (Ids{1, 3, 2}));

    // A plane of another mosaic is not taken over.
    KaRektMosaik other(mosaik);
    mosaik.TopPlane(other.Last());
    EXPECT_EQ(Order(), (Ids{1, 3, 2}));
    EXPECT_EQ(other.Count(), 3);
    EXPECT_EQ(mosaik.Count(), 3);
}

TEST_F(MosaikTest, LookupBoxAndCopy) {
    // (7, 5) lies in planes 1 and 2: the front-most wins.
    KaPoint p(0, 7.0, 5.0);
    EXPECT_EQ(mosaik.GetPlane(p)->GetRektId(), 1u);
    mosaik.TopPlane(mosaik.FindPlane(7, 2));
    EXPECT_EQ(mosaik.GetPlane(p)->GetRektId(), 2u);
    KaPoint outside(0, 50.0, 5.0);
    EXPECT_EQ(mosaik.GetPlane(outside), nullptr);
    EXPECT_EQ(mosaik.FindPlane(7, 4), nullptr);
    EXPECT_EQ(mosaik.FindPlane(8, 1), nullptr);

    ASSERT_TRUE(mosaik.UpdateAllMinMax());
    EXPECT_DOUBLE_EQ(mosaik.GetMin().x, 0.0);
    EXPECT_DOUBLE_EQ(mosaik.Width(), 20.0);
    EXPECT_DOUBLE_EQ(mosaik.Height(), 10.0);

    KaRektMosaik copy(mosaik);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_NE(copy.First(), mosaik.First());
    EXPECT_DOUBLE_EQ(copy.Width(), 20.0);
    KaRektMosaik assigned;
    assigned = mosaik;
    EXPECT_EQ(assigned.Count(), 3);
    EXPECT_DOUBLE_EQ(assigned.Height(), 10.0);

    KaRektMosaik empty;
    EXPECT_FALSE(empty.UpdateAllMinMax());
}

} // namespace
