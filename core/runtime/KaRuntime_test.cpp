#include "runtime/KaRuntime.h"

#include <gtest/gtest.h>

namespace {

struct Counter {
    int calls = 0;
    long seen = 0;
    long Show(void*) {
        seen = KaProgressBarRouter::GetProgressBarUpper();
        return ++calls;
    }
    long Answer(void* arg) {
        auto* param = static_cast<KaRuntimeParameter*>(arg);
        param->SetReturnvalue(param->GetParameter());
        return ++calls;
    }
    long RemoveItself(void*) {
        KaRuntimeLinker::Instance()->Remove("self");
        return ++calls;
    }
};

} // namespace

TEST(KaProgressBarRouter, StoresValuesAndRoutesToTheCallbacks) {
    EXPECT_EQ(KaProgressBarRouter::GetProgressBarUpper(), 100);
    EXPECT_EQ(KaProgressBarRouter::ShowProgressBar("x", 0, 10), 0);
    EXPECT_EQ(KaProgressBarRouter::GetProgressBarUpper(), 10);
    EXPECT_STREQ(KaProgressBarRouter::GetProgressBarText().chars(), "x");
    EXPECT_EQ(KaProgressBarRouter::SetProgressBarPos(4), 0);
    EXPECT_EQ(KaProgressBarRouter::HideProgressBar(), 0);

    Counter first, second;
    Link const none = KaProgressBarRouter::RegisterShowProgressBarLnk(Link(&first, &Counter::Show));
    EXPECT_FALSE(none.IsSet());
    EXPECT_EQ(KaProgressBarRouter::ShowProgressBar("y", 5, 50), 1);
    EXPECT_EQ(first.seen, 50); // the callback reads the new values
    EXPECT_EQ(KaProgressBarRouter::GetProgressBarPos(), 4);

    Link const before = KaProgressBarRouter::RegisterShowProgressBarLnk(Link(&second, &Counter::Show));
    EXPECT_TRUE(before == Link(&first, &Counter::Show));
    KaProgressBarRouter::ShowProgressBar("z", 0, 1);
    EXPECT_EQ(second.calls, 1);
    KaProgressBarRouter::RegisterShowProgressBarLnk(before);
    KaProgressBarRouter::ShowProgressBar("z", 0, 1);
    EXPECT_EQ(first.calls, 2);
    KaProgressBarRouter::RegisterShowProgressBarLnk(none);
}

TEST(KaRuntimeLinker, RegistersOnceCallsAndRemoves) {
    KaRuntimeLinker& linker = *KaRuntimeLinker::Instance();
    EXPECT_EQ(&linker, KaRuntimeLinker::Instance());
    Counter first, second;
    EXPECT_TRUE(linker.Register("answer", Link(&first, &Counter::Answer)));
    EXPECT_FALSE(linker.Register("answer", Link(&second, &Counter::Answer)));

    int value = 42;
    KaRuntimeParameter param;
    param.SetParameter(&value);
    EXPECT_TRUE(linker.Call("answer", param));
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 0);
    EXPECT_EQ(param.GetReturnvalue(), &value);

    EXPECT_TRUE(linker.Register("unset", Link()));
    EXPECT_TRUE(linker.Call("unset", param));
    EXPECT_FALSE(linker.Call("nobody", param));
    EXPECT_TRUE(linker.Remove("answer"));
    EXPECT_FALSE(linker.Remove("answer"));
    EXPECT_FALSE(linker.Call("answer", param));
    EXPECT_TRUE(linker.Remove("unset"));

    // A callee may remove its own entry while it runs.
    EXPECT_TRUE(linker.Register("self", Link(&first, &Counter::RemoveItself)));
    EXPECT_TRUE(linker.Call("self", param));
    EXPECT_FALSE(linker.Call("self", param));
}

TEST(KaDifftime, MeasuresAndEnvironment) {
    KaDifftime watch;
    EXPECT_TRUE(watch.IsRunning());
    watch.Stop();
    EXPECT_FALSE(watch.IsRunning());
    EXPECT_GE(watch.Value(), 0.0);

    watch.SetStamps({10, 59, 59, 250}, {11, 0, 0, 750});
    EXPECT_DOUBLE_EQ(watch.Value(), 1.5);
    // Across midnight: a day later on the clock.
    watch.SetStamps({23, 59, 59, 0}, {0, 0, 1, 0});
    EXPECT_DOUBLE_EQ(watch.Value(), 2.0);
    KaDifftime copy(watch);
    EXPECT_DOUBLE_EQ(copy.Value(), 2.0);

    EXPECT_EQ(KaSystemEnviroment::GetRunningMode(), KaRunningModeLibrary);
    KaSystemEnviroment::SetRunningMode(KaRunningModeApplication);
    EXPECT_EQ(KaSystemEnviroment::GetRunningMode(), KaRunningModeApplication);
    EXPECT_EQ(KaSystemEnviroment::GetOperatingSystem(), KaOsUnknown);
    KaSystemEnviroment::SetOperatingSystem(KaOsLinux);
    EXPECT_EQ(KaSystemEnviroment::GetOperatingSystem(), KaOsLinux);
}
