#include "measure/KaDigitizer.h"

#include "model/KaPhoto.h"
#include "project/KaProject.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A device that records what it is told.
class TestDigitizer : public KaDigitizer {
public:
    TestDigitizer(KaVirtualDigitizer* hub, int caps, int* destroyed = nullptr)
        : KaDigitizer(hub, caps), m_destroyed(destroyed) {}
    ~TestDigitizer() override {
        if (m_destroyed)
            ++*m_destroyed;
    }

    bool NotifyDigitizerEnabledChanged() override {
        ++enabledNotes;
        return true;
    }
    bool NotifyProjectChanged() override {
        ++projectNotes;
        return true;
    }
    bool ShowPhoto(unsigned int photoId) override {
        shown.push_back(photoId);
        return true;
    }
    bool DigitizerCommand(eDigitizercommand command, CmdParam* param) override {
        commands.push_back(command);
        lastParam = *param;
        return true;
    }

    int enabledNotes = 0;
    int projectNotes = 0;
    std::vector<unsigned int> shown;
    std::vector<eDigitizercommand> commands;
    CmdParam lastParam;

private:
    int* m_destroyed;
};

// A hub that keeps the events it receives.
class TestHub : public KaVirtualDigitizer {
public:
    // The most derived class initialises the virtual base.
    explicit TestHub(KaProject* project = nullptr) : KaVirtualProject(project), KaVirtualDigitizer(project) {}
    using KaVirtualDigitizer::operator=;
    bool ReceiveDigitzer2DData(KaDigitizerEvent const& event) override {
        events.push_back(event);
        return true;
    }
    std::vector<KaDigitizerEvent> events;
};

KaPhoto* AddPhoto(KaProject& project, unsigned int id, eKaPhototype type, unsigned int digitizer,
                  KaRegion const& region = KaRegion(), int active = 0) {
    KaPhoto photo(id);
    photo.SetType(type);
    photo.SetDigitizer(digitizer);
    photo.SetDigiRegion(region);
    photo.SetActiveFlag(active);
    return project.AddPhoto(photo);
}

} // namespace

TEST(KaDigitizer, NumbersByCapabilitiesAndFallsBackToTheFirstFreeNumber) {
    TestHub hub;
    auto* plain = new TestDigitizer(&hub, 0);
    auto* screen = new TestDigitizer(&hub, KaDigiCapsDigital);
    auto* secondScreen = new TestDigitizer(&hub, KaDigiCapsDigital);
    auto* second = new TestDigitizer(&hub, KaDigiCapsPreferSecond | KaDigiCapsSecondary);
    auto* prefersFirst = new TestDigitizer(&hub, KaDigiCapsPreferSecond);
    EXPECT_EQ(plain->GetId(), 1u);
    EXPECT_EQ(screen->GetId(), 20u);
    EXPECT_EQ(secondScreen->GetId(), 21u);
    EXPECT_EQ(second->GetId(), 2u);
    EXPECT_EQ(prefersFirst->GetId(), 22u); // 4 without 0x8000 asks for 1, which is taken
    EXPECT_EQ(hub.Count(), 5);

    EXPECT_EQ(hub.FindDigitizer(KaDigiCapsDigital), screen);
    EXPECT_EQ(hub.FindDigitizer(KaDigiCapsPreferSecond), prefersFirst); // exact capabilities
    EXPECT_EQ(hub.FindDigitizerByMask(KaDigiCapsPreferSecond), second); // all bits of the mask
    EXPECT_EQ(hub.FindDigitizer(0x40), nullptr);
}

TEST(KaDigitizer, HubOwnsItsDigitizersAndAnEarlyDeleteLeavesIt) {
    int destroyed = 0;
    {
        TestHub hub;
        new TestDigitizer(&hub, 0, &destroyed);
        auto* middle = new TestDigitizer(&hub, KaDigiCapsDigital, &destroyed);
        new TestDigitizer(&hub, KaDigiCapsPreferSecond | KaDigiCapsSecondary, &destroyed);
        delete middle;
        EXPECT_EQ(destroyed, 1);
        ASSERT_EQ(hub.Count(), 2);
        EXPECT_EQ(hub.Find(20u), nullptr);
        EXPECT_EQ(hub.First()->Next(), hub.Last());
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(KaDigitizer, SendReachesTheHubOnlyWhileEnabled) {
    TestHub hub;
    auto* digitizer = new TestDigitizer(&hub, KaDigiCapsDigital);
    KaPoint point(7, 1.5, -2.5);
    point.photoId = 3;

    EXPECT_FALSE(digitizer->Send2D(point, 'f'));
    EXPECT_FALSE(digitizer->Send3D(point, 'f'));
    EXPECT_TRUE(hub.events.empty());

    EXPECT_TRUE(hub.EnableDigitizer());
    EXPECT_EQ(digitizer->enabledNotes, 1);
    EXPECT_TRUE(digitizer->IsDigitizerEnabled());
    EXPECT_TRUE(digitizer->Send2D(point, 'f'));
    ASSERT_EQ(hub.events.size(), 1u);
    KaDigitizerEvent const& event = hub.events.front();
    EXPECT_EQ(event.GetDigitizer(), digitizer);
    EXPECT_EQ(event.GetCaps(), KaDigiCapsDigital);
    EXPECT_EQ(event.GetPoint().GetId(), 7u);
    EXPECT_EQ(event.GetPoint().photoId, 3);
    EXPECT_DOUBLE_EQ(event.GetPoint().y, -2.5);
    EXPECT_EQ(event.GetButton(), 'f');
    EXPECT_EQ(event.GetCommand(), KaDigiBtnNone);
    // The base 3D receiver declines.
    EXPECT_FALSE(digitizer->Send3D(point, 0));

    EXPECT_FALSE(hub.DisableDigitizer());
    EXPECT_EQ(digitizer->enabledNotes, 2);
    EXPECT_FALSE(digitizer->Send2D(point, 'f'));
    EXPECT_EQ(hub.events.size(), 1u);
    EXPECT_EQ(KaDigitizerEvent().GetCaps(), 0);
}

TEST(KaDigitizer, RoutesCommandsToThePhotosDigitizerAndStartsIt) {
    KaProject project;
    AddPhoto(project, 1, KaPhotoAnalog, 1);
    AddPhoto(project, 2, KaPhotoDigital, 1); // a digital photo always goes to 20
    AddPhoto(project, 3, KaPhotoAnalog, 5);  // no such digitizer
    TestHub hub(&project);
    auto* table = new TestDigitizer(&hub, 0);
    auto* screen = new TestDigitizer(&hub, KaDigiCapsDigital);

    EXPECT_EQ(hub.FindDigitizer(1u), table);
    EXPECT_EQ(hub.FindDigitizer(2u), screen);
    EXPECT_EQ(hub.FindDigitizer(3u), nullptr);
    EXPECT_EQ(hub.FindDigitizer(99u), nullptr);

    CmdParam rotate(2, 3u);
    EXPECT_TRUE(hub.DigitizerCommand(KaDigiCmdRotatePhoto, &rotate));
    ASSERT_EQ(screen->commands.size(), 1u);
    EXPECT_EQ(screen->commands[0], KaDigiCmdRotatePhoto);
    EXPECT_EQ(screen->lastParam.photoId, 2u);
    EXPECT_EQ(screen->lastParam.values[0], 3u);
    EXPECT_TRUE(screen->IsStarted());
    EXPECT_TRUE(table->commands.empty());
    EXPECT_FALSE(table->IsStarted());

    EXPECT_TRUE(hub.ShowPhoto(1));
    EXPECT_TRUE(table->IsStarted());
    EXPECT_EQ(table->shown, std::vector<unsigned int>{1});
    // Base versions of the device answer false; no digitizer answers false.
    EXPECT_FALSE(hub.MeasurePhotoSize(1));
    EXPECT_FALSE(hub.ShowPhoto(3));
    CmdParam nowhere(3, KaPoint(), 1);
    EXPECT_FALSE(hub.DigitizerCommand(KaDigiCmdDevice, &nowhere));
    EXPECT_FALSE(hub.DigitizerCommand(KaDigiCmdDevice, nullptr));

    // Project changes reach every digitizer.
    hub.SetProject(nullptr);
    EXPECT_EQ(table->projectNotes, 1);
    EXPECT_EQ(screen->projectNotes, 1);
}

TEST(KaDigitizer, StartsAndStopsByNumberMaskAndPhoto) {
    KaProject project;
    KaPhoto* digital = AddPhoto(project, 1, KaPhotoDigital, 1);
    KaPhoto* analog = AddPhoto(project, 2, KaPhotoAnalog, 2);
    TestHub hub(&project);
    auto* table = new TestDigitizer(&hub, 0);
    auto* second = new TestDigitizer(&hub, KaDigiCapsPreferSecond | KaDigiCapsSecondary);
    auto* screen = new TestDigitizer(&hub, KaDigiCapsDigital | KaDigiCapsSecondary);

    EXPECT_FALSE(hub.IsDigitalDigitizerRunning());
    EXPECT_TRUE(hub.StartDigitalDigitizer());
    EXPECT_TRUE(screen->IsStarted());
    EXPECT_TRUE(hub.StopDigitalDigitizer());
    EXPECT_FALSE(screen->IsStarted());
    EXPECT_FALSE(hub.StartDigitizer(0x40)); // no digitizer has the bit

    EXPECT_TRUE(hub.StartDigitizer(1u));
    EXPECT_TRUE(table->IsStarted());
    EXPECT_TRUE(hub.StopDigitizer(1u));
    EXPECT_FALSE(hub.StartDigitizer(9u));

    EXPECT_TRUE(hub.StartDigitizer(digital));
    EXPECT_TRUE(screen->IsStarted());
    EXPECT_TRUE(hub.StartDigitizer(analog));
    EXPECT_TRUE(second->IsStarted());
    EXPECT_FALSE(table->IsStarted());
    EXPECT_TRUE(hub.StartDigitizer(static_cast<KaPhoto*>(nullptr)));
}

TEST(KaDigitizer, FindsItsOwnPhotos) {
    KaProject project;
    KaPhoto* first = AddPhoto(project, 1, KaPhotoAnalog, 1, KaRegion(0, 0, 100, 100), 1);
    AddPhoto(project, 2, KaPhotoAnalog, 2, KaRegion(0, 0, 100, 100));
    KaPhoto* third = AddPhoto(project, 3, KaPhotoAnalog, 1, KaRegion(50, 50, 200, 200));
    TestHub hub(&project);
    auto* digitizer = new TestDigitizer(&hub, 0);

    EXPECT_EQ(digitizer->GetProject(), &project);
    EXPECT_EQ(digitizer->FindFirstPhoto(), first);
    EXPECT_EQ(digitizer->FindNextPhoto(first, false), third);
    EXPECT_EQ(digitizer->FindNextPhoto(first, true), first);
    EXPECT_EQ(digitizer->FindNextPhoto(third, false), nullptr);
    EXPECT_EQ(digitizer->FindPhoto(2, true), nullptr);
    EXPECT_NE(digitizer->FindPhoto(2, false), nullptr);

    KaPoint const inBoth(0, 60, 60);
    EXPECT_EQ(digitizer->FindPhotoAtPos(inBoth, false), first);
    EXPECT_EQ(digitizer->FindPhotoAtPos(inBoth, true), third); // the first photo is inactive
    EXPECT_EQ(digitizer->FindPhotoAtPos(KaPoint(0, 10, 10), true), nullptr);

    KaDigitizer loose(nullptr, KaDigiCapsDigital);
    EXPECT_EQ(loose.GetId(), 20u);
    EXPECT_EQ(loose.FindFirstPhoto(), nullptr);
    EXPECT_FALSE(loose.Send2D(inBoth, 0));
}

TEST(KaButtonCommandInterpreter, LooksUpTheDefaultTableAndReplacesCodes) {
    KaButtonCommandInterpreter table;
    EXPECT_EQ(table.GetNbrButtonEntrys(), 13);
    EXPECT_EQ(table.InterpretButton(0), KaDigiBtnFunction); // first pair without a code
    EXPECT_EQ(table.InterpretButton('f'), KaDigiBtnIdPlus1);
    EXPECT_EQ(table.InterpretButton('a'), KaDigiBtnIdMinus100);
    EXPECT_EQ(table.InterpretButton('X'), KaDigiBtnDrive);
    EXPECT_EQ(table.InterpretButton('A'), KaDigiBtnDeviceCommand);
    EXPECT_EQ(table.InterpretButton('z'), KaDigiBtnNone);
    EXPECT_EQ(table.GetButtonCommand(12), KaDigiBtnDeviceCommand);
    EXPECT_EQ(table.GetButtonCommand(13), KaDigiBtnNone);
    EXPECT_EQ(table.GetButtonCode(13), 0);
    EXPECT_EQ(table.GetButtonCode(-1), 0);

    table.SetButtonCommand(KaDigiBtnCancel, 'q');
    EXPECT_EQ(table.GetNbrButtonEntrys(), 13);
    EXPECT_EQ(table.InterpretButton('q'), KaDigiBtnCancel);
    EXPECT_EQ(table.GetButtonCode(KaDigiBtnCancel), 'q');

    for (int code = 1; code <= 20; ++code)
        table.SetButtonCommand(static_cast<eDigiButtonCommand>(100 + code), 200 + code);
    EXPECT_EQ(table.GetNbrButtonEntrys(), 33);
    EXPECT_EQ(table.InterpretButton(220), static_cast<eDigiButtonCommand>(120));
    EXPECT_EQ(table.GetButtonCode(static_cast<eDigiButtonCommand>(150)), 0);

    KaButtonCommandInterpreter const copy(table);
    EXPECT_EQ(copy.GetButtonCode(KaDigiBtnCancel), 'q');
}
