#pragma once

#include "TarvisExport.h"
#include "foundation/Link.h"
#include "foundation/String.h"

#include <map>
#include <string>

// Progress bars of the user interface, reached through the callbacks it
// registers. The callbacks are called with a null argument and read the values
// through the getters.
class TARVIS_API KaProgressBarRouter {
public:
    // Stores text and bounds and calls the show callback; 0 without one.
    static int ShowProgressBar(String const& text, int lower, int upper);
    // Stores the position and calls the set-position callback; 0 without one.
    static int SetProgressBarPos(int pos);
    // Calls the hide callback; 0 without one. The stored values stay.
    static int HideProgressBar();

    static String const& GetProgressBarText();
    static int GetProgressBarLower();
    static int GetProgressBarUpper();
    static int GetProgressBarPos();

    // Each installs a callback and returns the one installed before, so that the
    // caller can put it back.
    static Link RegisterShowProgressBarLnk(Link const& link);
    static Link RegisterHideProgressBarLnk(Link const& link);
    static Link RegisterSetProgressBarPosLnk(Link const& link);
};

// The argument block of a call through the runtime linker. A derived class that
// owns what its pointers designate releases it in the two Destroy functions.
class TARVIS_API KaRuntimeParameter {
public:
    KaRuntimeParameter() = default;
    KaRuntimeParameter(KaRuntimeParameter const& other) = default;
    KaRuntimeParameter& operator=(KaRuntimeParameter const& other) = default;
    virtual ~KaRuntimeParameter();

    virtual void SetParameter(void* parameter) { m_parameter = parameter; }
    virtual void SetReturnvalue(void* value) { m_returnvalue = value; }
    virtual void DestroyParameter() {}
    virtual void DestroyReturnvalue() {}

    void* GetParameter() const { return m_parameter; }
    void* GetReturnvalue() const { return m_returnvalue; }

private:
    void* m_parameter = nullptr;
    void* m_returnvalue = nullptr;
};

// Named callbacks through which one library calls code of another without
// linking to it. The callee is called with a pointer to the KaRuntimeParameter.
class TARVIS_API KaRuntimeLinker {
public:
    KaRuntimeLinker(KaRuntimeLinker const&) = delete;
    KaRuntimeLinker& operator=(KaRuntimeLinker const&) = delete;

    static KaRuntimeLinker* Instance();

    // False, and no change, when the name is registered already.
    bool Register(std::string const& name, Link const& link);
    // False when the name is not registered.
    bool Remove(std::string const& name);
    // False when the name is not registered; true otherwise, also for an unset
    // link. The callee's own result is not passed on.
    bool Call(std::string const& name, KaRuntimeParameter& param);

private:
    KaRuntimeLinker() = default;

    std::map<std::string, Link> m_links;
};

enum eOperatingSystem : int { KaOsUnknown = 0, KaOsLinux = 1 };
enum eTarvoRunningMode : int { KaRunningModeLibrary = 0, KaRunningModeApplication = 1 };

// Two process-wide settings; both start at 0.
class TARVIS_API KaSystemEnviroment {
public:
    static eOperatingSystem GetOperatingSystem();
    static void SetOperatingSystem(eOperatingSystem os);
    static eTarvoRunningMode GetRunningMode();
    static void SetRunningMode(eTarvoRunningMode mode);
};

// A stopwatch on the system clock (UTC time of day, milliseconds). It starts
// when it is made.
class TARVIS_API KaDifftime {
public:
    struct Stamp {
        int hour = 0;
        int minute = 0;
        int second = 0;
        int millisecond = 0;
    };

    KaDifftime();
    KaDifftime(KaDifftime const& other) = default;
    KaDifftime& operator=(KaDifftime const& other) = default;
    virtual ~KaDifftime();

    void Start();
    void Stop();
    bool IsRunning() const { return m_running; }
    // Seconds from the start to the stop stamp. The stamps carry no date: a
    // measurement across midnight counts the day once (so it must be shorter
    // than a day).
    double Value() const;

    // For callers that take their stamps elsewhere, and for tests.
    void SetStamps(Stamp const& start, Stamp const& stop);

private:
    static Stamp Now();

    Stamp m_start;
    Stamp m_stop;
    bool m_running = false;
};
