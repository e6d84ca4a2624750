#include "geometry/KaBoundingBox3d.h"

#include <gtest/gtest.h>

TEST(KaBoundingBox3d, GrowsWithItsPoints) {
    KaBoundingBox3d box;
    EXPECT_EQ(box.IsValid(), 0);
    box.Update(KaPoint3d(1, 2, 3));
    EXPECT_EQ(box.IsValid(), 1);
    EXPECT_EQ(box.GetXSize(), 0.0);
    EXPECT_EQ(box.GetVol(), 0.0);
    box.Update(-1, 5, 3);
    box.Update(0, 3, 3); // inside: counted all the same
    EXPECT_EQ(box.GetCount(), 3);
    EXPECT_EQ(box.Xmin(), -1);
    EXPECT_EQ(box.Ymax(), 5);
    EXPECT_EQ(box.GetMax(), 3.0);
    EXPECT_EQ(box.GetMin(), 0.0);
    EXPECT_TRUE(box.IsInBox(1, 2, 3) && box.IsInBox(-1, 5, 3));
    EXPECT_FALSE(box.IsInBox(0, 3, 3.0001));
    EXPECT_FALSE(box.IsInX(1.5));

    box.AddFrame(1, 0.5, 2);
    EXPECT_EQ(box.GetXSize(), 4.0);
    EXPECT_EQ(box.GetYSize(), 4.0);
    EXPECT_EQ(box.GetZSize(), 4.0);
    EXPECT_EQ(box.GetVol(), 64.0);

    // Corners in any order; a union covers both boxes.
    KaBoundingBox3d other(5, 0, 9, 4, -3, 1);
    EXPECT_EQ(other.Xmin(), 4);
    EXPECT_EQ(other.Zmax(), 9);
    other.Union(box);
    EXPECT_EQ(other.Xmin(), -2);
    EXPECT_EQ(other.Ymin(), -3);
    EXPECT_EQ(other.Zmax(), 9);
    EXPECT_EQ(other.Xmax(), 5);

    // CheckMax is false only for a box strictly inside on every axis.
    EXPECT_FALSE(other.CheckMax(KaBoundingBox3d(0, 0, 2, 1, 1, 3)));
    EXPECT_TRUE(other.CheckMax(KaBoundingBox3d(-2, 0, 2, 1, 1, 3))); // touches xmin
    EXPECT_TRUE(other.CheckMax(other));

    box.Init();
    EXPECT_EQ(box.IsValid(), 0);
    EXPECT_EQ(box.GetCount(), 0);
}

TEST(KaCenterPoint3d, RunningMean) {
    KaCenterPoint3d c;
    c.Add(KaPoint3d(0, 0, 0));
    c.Add(2, 2, 2);
    EXPECT_EQ(c.Point().x(), 1.0);
    EXPECT_EQ(c.GetCount(), 2);
    c.Subtract(KaPoint3d(2, 2, 2));
    EXPECT_EQ(c.Point().z(), 0.0);
    EXPECT_EQ(c.GetCount(), 1);
    c.Subtract(5, 5, 5); // below two points: back to zero
    EXPECT_EQ(c.Point().y(), 0.0);
    EXPECT_EQ(c.GetCount(), 0);

    // After Reset the first Add replaces the mean.
    c.Reset(10, 10, 10);
    EXPECT_EQ(c.Point().x(), 10.0);
    c.Add(3, 6, 9);
    EXPECT_EQ(c.Point().y(), 6.0);
    c.Add(5, 6, 7);
    c.Add(7, 6, 5);
    EXPECT_EQ(c.Point().x(), 5.0);
    EXPECT_EQ(c.Point().z(), 7.0);
    EXPECT_EQ(c.GetCount(), 3);
}
