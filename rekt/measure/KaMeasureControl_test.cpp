#include "measure/KaMeasureControl.h"

#include "measure/KaDigitizer.h"
#include "measure/KaVorwartsschnitt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A stack with a digitizer switch of its own that logs its hook calls.
class TestStack : public KaWhoIsRunnig {
public:
    using KaWhoIsRunnig::operator=;
    bool MCModeChanged() override { return Log("mode"); }
    bool MCDeletePhotoMeasureLists() override { return Log("lists"); }
    bool MCIsDigitizerEnabled() override { return enabled; }
    bool MCEnableDigitizer() override {
        enabled = true;
        return Log("enable");
    }
    bool MCDisableDigitizer() override {
        enabled = false;
        return Log("disable");
    }
    bool Log(char const* what) {
        log.emplace_back(what);
        return true;
    }

    bool enabled = false;
    std::vector<std::string> log;
};

// The target of the links: logs which link was called with which control.
class Listener : public LinkHdl {
public:
    explicit Listener(std::vector<std::string>* log) : m_log(log) {}
    long Measure(void* arg) { return Note("measure", arg); }
    long Cancel(void* arg) { return Note("cancel", arg); }
    long Push(void* arg) { return Note("push", arg); }
    long Pop(void* arg) { return Note("pop", arg); }
    long Terminate(void* arg) { return Note("terminate", arg); }
    long MeasId(void* arg) { return Note("measId", arg); }
    // Ends its workflow: pops the control it was called on.
    long TerminateAndPop(void* arg) {
        Note("terminate-pop", arg);
        stack->PopControl(false);
        return 1;
    }

    TestStack* stack = nullptr;
    std::vector<void*> args;

private:
    long Note(char const* what, void* arg) {
        m_log->emplace_back(what);
        args.push_back(arg);
        return 7;
    }
    std::vector<std::string>* m_log;
};

void SetAllLinks(KaMeasureControl& control, Listener& l) {
    control.SetLinks(Link(&l, &Listener::Measure), Link(&l, &Listener::Cancel));
    control.SetMeasIdLink(Link(&l, &Listener::MeasId));
    control.SetPushLink(Link(&l, &Listener::Push));
    control.SetPopLink(Link(&l, &Listener::Pop));
    control.SetTerminateLink(Link(&l, &Listener::Terminate));
}

} // namespace

TEST(KaMeasureControl, CopiesSixLinksAndModeSettersClearTheError) {
    std::vector<std::string> log;
    Listener listener(&log);
    KaMeasureControl control;
    EXPECT_EQ(control.GetMode(), KaMeasModeNone);
    EXPECT_EQ(control.NotifyTerminate(), 0); // empty link
    SetAllLinks(control, listener);
    control.errorCode = 7;
    control.SetReseauMode(0.5, true);
    EXPECT_EQ(control.mode, KaMeasModeReseau);
    EXPECT_EQ(control.errorCode, 0);
    EXPECT_DOUBLE_EQ(control.reseauMaxDeviation, 0.5);
    EXPECT_TRUE(control.reseauAskOnDeviation);

    KaMeasureControl copy(control);
    EXPECT_EQ(copy.mode, KaMeasModeReseau);
    EXPECT_TRUE(copy.measureLink.IsSet());
    EXPECT_TRUE(copy.cancelLink.IsSet());
    EXPECT_TRUE(copy.measIdLink.IsSet());
    EXPECT_FALSE(copy.pushLink.IsSet());
    EXPECT_FALSE(copy.popLink.IsSet());
    EXPECT_FALSE(copy.terminateLink.IsSet());
    KaMeasureControl assigned;
    assigned.SetTerminateLink(Link(&listener, &Listener::Pop));
    assigned = control;
    EXPECT_EQ(assigned.terminateLink, Link(&listener, &Listener::Pop)); // its own stays

    control.SetPreResauCrossMode(4);
    EXPECT_EQ(control.mode, KaMeasModePreReseauCross);
    EXPECT_EQ(control.boundPhotoId, 4u);
    EXPECT_DOUBLE_EQ(control.reseauMaxDeviation, 0.0);
    EXPECT_FALSE(control.reseauAskOnDeviation);
    control.SetModeDefRekt(3, 4);
    EXPECT_EQ(control.measId, 3u);
    EXPECT_EQ(control.maxMeasId, 4u);
    control.SetModeDefRektBounds(Link(&listener, &Listener::Cancel));
    EXPECT_EQ(control.measureLink, Link(&listener, &Listener::Cancel));
    EXPECT_EQ(control.measId, 0u);
    control.SetModeRektConnect(9);
    EXPECT_EQ(control.measId, 1u);
    EXPECT_EQ(control.boundPhotoId, 9u);
    control.SetModeSip();
    EXPECT_EQ(control.mode, KaMeasModeRektConnect);

    control.AssignMeasId(12, false);
    EXPECT_TRUE(log.empty());
    control.AssignMeasId(13, true);
    EXPECT_EQ(control.GetAssignedMeasId(), 13u);
    ASSERT_EQ(log, std::vector<std::string>{"measId"});
    EXPECT_EQ(listener.args.back(), &control);
}

TEST(KaMeasureControlStack, PushCopiesTheCurrentControlAndPopRestoresTheDigitizerState) {
    TestStack stack;
    std::vector<std::string>& log = stack.log; // links and hooks in one sequence
    Listener listener(&log);
    ASSERT_EQ(stack.Count(), 1);
    KaMeasureControl* base = stack.GetControl();
    SetAllLinks(*base, listener);
    base->SetReseauMode(1.0, false);

    stack.enabled = true;
    KaMeasureControl* top = stack.PushControl();
    EXPECT_EQ(stack.Count(), 2);
    EXPECT_EQ(stack.GetControl(), top);
    EXPECT_EQ(log, std::vector<std::string>{"push"});
    EXPECT_EQ(listener.args.back(), base);
    EXPECT_TRUE(base->savedDigitizerEnabled);
    EXPECT_EQ(top->mode, KaMeasModeReseau);
    EXPECT_TRUE(top->measureLink.IsSet());
    EXPECT_TRUE(top->cancelLink.IsSet());
    EXPECT_FALSE(top->pushLink.IsSet());
    EXPECT_FALSE(top->popLink.IsSet());
    EXPECT_FALSE(top->terminateLink.IsSet());

    // The covering workflow turns the digitizers off; popping turns them on again.
    stack.enabled = false;
    log.clear();
    EXPECT_EQ(stack.PopControl(true), base);
    EXPECT_EQ(stack.Count(), 1);
    EXPECT_TRUE(stack.enabled);
    EXPECT_EQ(log, (std::vector<std::string>{"enable", "pop", "mode", "lists"}));
    EXPECT_EQ(listener.args.back(), base);

    // The last control stays, and the state is still restored and announced.
    base->savedDigitizerEnabled = false;
    log.clear();
    EXPECT_EQ(stack.PopControl(false), base);
    EXPECT_EQ(stack.Count(), 1);
    EXPECT_FALSE(stack.enabled);
    EXPECT_EQ(log, (std::vector<std::string>{"disable", "pop", "mode"}));

    // Nothing to restore: no enable or disable call.
    log.clear();
    stack.PopControl(false);
    EXPECT_EQ(log, (std::vector<std::string>{"pop", "mode"}));
}

TEST(KaMeasureControlStack, SetControlKeepsTheWorkflowsTerminateLink) {
    std::vector<std::string> log;
    Listener listener(&log);
    TestStack stack;
    KaMeasureControl workflow;
    workflow.SetReseauMode(0.2, true);
    workflow.SetLinks(Link(&listener, &Listener::Measure));
    workflow.SetTerminateLink(Link(&listener, &Listener::Terminate));

    KaMeasureControl* current = stack.SetControl(workflow, true);
    EXPECT_EQ(stack.Count(), 2);
    EXPECT_EQ(current->mode, KaMeasModeReseau);
    EXPECT_EQ(current->measureLink, workflow.measureLink);
    EXPECT_EQ(current->terminateLink, workflow.terminateLink);
    EXPECT_EQ(stack.log, std::vector<std::string>{"mode"});

    // Without push the current control is overwritten in place.
    KaMeasureControl other;
    other.SetModeRekt();
    EXPECT_EQ(stack.SetControl(other, false), current);
    EXPECT_EQ(stack.Count(), 2);
    EXPECT_EQ(current->mode, KaMeasModeRekt);
    EXPECT_FALSE(current->terminateLink.IsSet());

    // Setting the current control onto itself with a push.
    current->SetTerminateLink(Link(&listener, &Listener::Terminate));
    KaMeasureControl* pushed = stack.SetControl(*current, true);
    EXPECT_EQ(stack.Count(), 3);
    EXPECT_EQ(pushed->mode, KaMeasModeRekt);
    EXPECT_TRUE(pushed->terminateLink.IsSet());
}

TEST(KaMeasureControlStack, TerminateWalksDownAndFollowsRemovedControls) {
    std::vector<std::string> log;
    Listener listener(&log);
    TestStack stack;
    listener.stack = &stack;
    KaMeasureControl* bottom = stack.GetControl();
    bottom->SetTerminateLink(Link(&listener, &Listener::Terminate));
    KaMeasureControl* middle = stack.PushControl();
    middle->SetTerminateLink(Link(&listener, &Listener::TerminateAndPop));
    KaMeasureControl* top = stack.PushControl();
    top->SetTerminateLink(Link(&listener, &Listener::TerminateAndPop));
    stack.log.clear();

    stack.NotifyTerminate();
    // Top and middle pop themselves; the walk goes on at the new current control.
    EXPECT_EQ(log, (std::vector<std::string>{"terminate-pop", "terminate-pop", "terminate"}));
    ASSERT_EQ(listener.args.size(), 3u);
    EXPECT_EQ(listener.args[0], top);
    EXPECT_EQ(listener.args[1], middle);
    EXPECT_EQ(listener.args[2], bottom);
    EXPECT_EQ(stack.Count(), 1);
    EXPECT_EQ(stack.GetControl(), bottom);

    // Handlers that stay: every control once, from the top down.
    log.clear();
    listener.args.clear();
    KaMeasureControl* upper = stack.PushControl();
    upper->SetTerminateLink(Link(&listener, &Listener::Terminate));
    stack.NotifyTerminate();
    EXPECT_EQ(log, (std::vector<std::string>{"terminate", "terminate"}));
    EXPECT_EQ(listener.args[0], upper);
    EXPECT_EQ(listener.args[1], bottom);
}

TEST(KaWhoIsRunnig, DecidesWhichModesMayStart) {
    TestStack stack;
    EXPECT_TRUE(stack.CanRun(KaMeasModeReseau));
    stack.PushControl()->SetPreResauCrossMode(1);
    EXPECT_FALSE(stack.CanRun(KaMeasModeReseau)); // a pre-reseau cross measurement runs
    EXPECT_FALSE(stack.CanRun(KaMeasModePreReseauCross));
    EXPECT_TRUE(stack.CanRun(KaMeasModeDefRekt));
    stack.PushControl()->SetModeDefRekt(1, 0);
    EXPECT_FALSE(stack.CanRun(KaMeasModeDefRekt));

    EXPECT_FALSE(stack.CanRun(KaMeasModeRekt));
    stack.EnableHLMeasureModes();
    EXPECT_TRUE(stack.IsHLMeasureModeEnabled());
    EXPECT_FALSE(stack.CanRun(KaMeasModeRekt)); // the current control is in mode 7
    stack.PushControl()->SetModeRekt();
    EXPECT_TRUE(stack.CanRun(KaMeasModeRekt));
    EXPECT_TRUE(stack.CanRun(KaMeasModeHL103));
    stack.DisableHLMeasureModes();
    EXPECT_FALSE(stack.CanRun(KaMeasModeHL101));

    EXPECT_TRUE(KaWhoIsRunnig::IsModeHLMeasureMode(KaMeasModeHL102));
    EXPECT_FALSE(KaWhoIsRunnig::IsModeHLMeasureMode(KaMeasModeRektConnect));
}

namespace {

// The bases of a measurement controller together, its stack mapped on the hub.
class MiniController : public KaVirtualDigitizer, public KaWhoIsRunnig, public KaVorwartsschnitt {
public:
    explicit MiniController(KaProject* project) : KaVirtualProject(project) {}
    using KaVirtualDigitizer::operator=;
    using KaWhoIsRunnig::operator=;
    bool MCIsDigitizerEnabled() override { return IsDigitizerEnabled(); }
    bool MCEnableDigitizer() override { return EnableDigitizer(); }
    bool MCDisableDigitizer() override { return DisableDigitizer(); }
};

} // namespace

TEST(KaMeasureControlStack, ControllerBasesShareOneProjectAndMapTheSwitch) {
    KaProject project;
    MiniController controller(&project);
    EXPECT_EQ(static_cast<KaVirtualDigitizer&>(controller).GetProject(), &project);
    EXPECT_EQ(static_cast<KaVorwartsschnitt&>(controller).GetProject(), &project);

    controller.EnableDigitizer();
    controller.PushControl();
    controller.DisableDigitizer();
    controller.PopControl(false);
    EXPECT_TRUE(controller.IsDigitizerEnabled());
}
