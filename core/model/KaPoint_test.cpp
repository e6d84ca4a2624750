#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "textio/KaReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

TEST(KaPoint, ControlCodes) {
    KaPoint p;
    EXPECT_EQ(p.SetAsControlFlag("xz"), 0x5);
    EXPECT_STREQ(p.GetControlFlagsAsXYZ(), "X Z");
    EXPECT_STREQ(p.GetControlFlagsAs123(), " 13");
    EXPECT_EQ(p.SetAsControlFlag(12), 0x3);
    EXPECT_TRUE(p.IsXControlPoint() && p.IsYControlPoint() && !p.IsZControlPoint());
    EXPECT_EQ(p.SetAsControlFlag(123), 0x7);
    EXPECT_EQ(p.SetAsControlFlag(0), 0);
    EXPECT_STREQ(p.GetControlFlagsAs123(), "  0");
    EXPECT_STREQ(p.GetControlFlagsAsXYZ(), " N ");
    EXPECT_STREQ(KaPoint::GetControlCodeAsXYZ(6), " YZ");
}

TEST(KaPoint, ArithmeticAndOrder) {
    KaPoint a(5, 1, 2, 3), b(3, 3, 6, 9);
    a.photoId = 1;
    b.photoId = 2;
    EXPECT_GT(a.Compare(&b), 0); // (1 - 2) + (5 - 3)
    a.SetName("A");
    KaPoint const mean = a % b;
    EXPECT_EQ(mean.x, 2);
    EXPECT_EQ(mean.z, 6);
    EXPECT_EQ(mean.GetId(), 5u);
    EXPECT_STREQ(mean.GetName().chars(), "A");
    EXPECT_EQ((b - a).y, 4);
    EXPECT_EQ((b / 3).z, 3);
    EXPECT_DOUBLE_EQ(a.Distance(b), std::sqrt(4.0 + 16.0 + 36.0));
    EXPECT_TRUE(KaPoint(1, 1, 2, 3) == KaPoint(2, 1, 2, 3));

    // Sums carry everything but coordinates and deviations over from the left point.
    a.tag = 11, a.tag2 = 12, a.cameraId = 4, a.redu = 0.5, a.dx = 1;
    a.SetFlag(PointFlagEinbor);
    b.dx = 2, b.redu = 9;
    KaPoint const sum = a + b;
    EXPECT_EQ(sum.x, 4);
    EXPECT_EQ(sum.dx, 3);
    EXPECT_EQ(sum.redu, 0.5);
    EXPECT_EQ(sum.tag + sum.tag2, 23u);
    EXPECT_EQ(sum.cameraId, 4);
    EXPECT_EQ(sum.photoId, 1);
    EXPECT_TRUE(sum.IsFlagSet(PointFlagEinbor));
    KaPoint reset(sum);
    reset.init();
    EXPECT_EQ(reset.GetId(), 5u);
    EXPECT_STREQ(reset.GetName().chars(), "A");
    EXPECT_TRUE(reset.IsFlagSet(PointFlagEinbor));
    EXPECT_EQ(reset.x + reset.dx + reset.redu + reset.tag + reset.photoId, 0);

    // Extreme numbers compare without overflow.
    KaPoint high(0xFFFFFFFFu, 0, 0), low(1, 0, 0);
    EXPECT_EQ(high.Compare(&low), -2);
}

TEST(KaPoint, UnitsAndAngles) {
    EXPECT_STREQ(GetKaUnitText(static_cast<eKaUnit>(0), true), "??");
    EXPECT_STREQ(GetKaUnitText(KaUnitMicron, false), "\xB5m");
    EXPECT_STREQ(GetKaUnitText(KaUnitCM, true), "[cm]");
    EXPECT_EQ(GetUnitFactor(KaUnitM), 1.0);
    double v = 2.5;
    ConvertUnit(&v, KaUnitCM, KaUnitMM);
    EXPECT_DOUBLE_EQ(v, 25.0);
    EXPECT_DOUBLE_EQ(ConvertAngle(200, KaAngleGon, KaAngleDeg), 180.0);
    EXPECT_DOUBLE_EQ(ConvertAngle(90, KaAngleDeg, KaAngleRad), 3.141592653589793 / 2);
}

TEST(KaPoint, FlagPredicatesAndWalks) {
    KaPointList list;
    for (unsigned int i = 1; i <= 4; ++i)
        list.Add(new KaPoint(i, i, 0));
    list.Get(1)->SetFlag(PointFlagTrafo2DUsed);
    list.Get(3)->SetFlag(PointFlagTrafo2DUsed | PointFlagGuiSelect);
    EXPECT_EQ(IsPointTrafo2DUsed(list.Get(1)), static_cast<unsigned int>(PointFlagTrafo2DUsed));
    EXPECT_EQ(IsPointFlagGuiSelect(list.Get(1)), 0u);
    EXPECT_EQ(list.First()->First(PointFlagTrafo2DUsed), list.Get(1));
    EXPECT_EQ(list.Get(1)->Next(PointFlagTrafo2DUsed), list.Get(3));
    EXPECT_EQ(list.Get(3)->Previous(PointFlagGuiSelect), nullptr);
    KaObject plain;
    EXPECT_EQ(IsPointTrafo2DUsed(&plain), 0u);
}

TEST(KaPoint, PositionAndTripel) {
    // A position is read and written as X and Y only, whatever else it holds.
    KaPosition pos(12.25, -0.1);
    pos.z = 99;
    pos.SetId(7);
    std::ostringstream os;
    pos.Write(os);
    EXPECT_EQ(os.str(), std::string(17, ' ') + "12.25" + std::string(18, ' ') + "-0.1");

    struct Holder : LinkHdl {
        KaPosition read;
        long Read(void* arg) { return read.Read(static_cast<KaReaderObject*>(arg)); }
    } holder;
    std::istringstream in(os.str());
    KaReader reader(in, "position");
    KaReaderObject values(Link(&holder, &Holder::Read));
    reader.RegisterObject(values);
    reader.DoProcess(false);
    EXPECT_EQ(holder.read.x, 12.25);
    EXPECT_EQ(holder.read.y, -0.1);
    EXPECT_EQ(holder.read.z, 0);
    EXPECT_EQ(holder.read.GetId(), 0u);

    KaPoint a, b, c;
    KaPointTripel t;
    EXPECT_FALSE(t.IsValid() || t.IsVisible(0) || t.IsInTripel(&a));
    t.Set(&a, 0);
    t.Set(&b, 1);
    t[2] = &c;
    t.SetVisible(1, true);
    KaPointTripel const copy(t);
    EXPECT_TRUE(copy.IsValid());
    EXPECT_TRUE(copy.IsInTripel(&c));
    EXPECT_TRUE(copy.IsVisible(1) && !copy.IsVisible(2));
    EXPECT_FALSE(copy.IsInTripel(nullptr));
}
