#include "runtime/KaRuntime.h"

#include <chrono>
#include <utility>

namespace {

struct ProgressBar {
    String text;
    int lower = 0;
    int upper = 100;
    int pos = 0;
    Link show;
    Link hide;
    Link setPos;
};

ProgressBar& Bar() {
    static ProgressBar bar;
    return bar;
}

int CallLink(Link const& link) {
    return static_cast<int>(link.Call(nullptr));
}

struct Environment {
    eOperatingSystem os = KaOsUnknown;
    eTarvoRunningMode mode = KaRunningModeLibrary;
};

Environment& Env() {
    static Environment env;
    return env;
}

double Seconds(KaDifftime::Stamp const& s) {
    return s.hour * 3600.0 + s.minute * 60.0 + s.second + s.millisecond * 0.001;
}

} // namespace

// ---------------------------------------------------------------------------
// KaProgressBarRouter

int KaProgressBarRouter::ShowProgressBar(String const& text, int lower, int upper) {
    ProgressBar& bar = Bar();
    bar.text = text;
    bar.lower = lower;
    bar.upper = upper;
    return CallLink(bar.show);
}

int KaProgressBarRouter::SetProgressBarPos(int pos) {
    Bar().pos = pos;
    return CallLink(Bar().setPos);
}

int KaProgressBarRouter::HideProgressBar() {
    return CallLink(Bar().hide);
}

String const& KaProgressBarRouter::GetProgressBarText() {
    return Bar().text;
}

int KaProgressBarRouter::GetProgressBarLower() {
    return Bar().lower;
}

int KaProgressBarRouter::GetProgressBarUpper() {
    return Bar().upper;
}

int KaProgressBarRouter::GetProgressBarPos() {
    return Bar().pos;
}

Link KaProgressBarRouter::RegisterShowProgressBarLnk(Link const& link) {
    return std::exchange(Bar().show, link);
}

Link KaProgressBarRouter::RegisterHideProgressBarLnk(Link const& link) {
    return std::exchange(Bar().hide, link);
}

Link KaProgressBarRouter::RegisterSetProgressBarPosLnk(Link const& link) {
    return std::exchange(Bar().setPos, link);
}

// ---------------------------------------------------------------------------
// KaRuntimeParameter, KaRuntimeLinker

KaRuntimeParameter::~KaRuntimeParameter() = default;

KaRuntimeLinker* KaRuntimeLinker::Instance() {
    // Lives until the process ends.
    static KaRuntimeLinker* const instance = new KaRuntimeLinker;
    return instance;
}

bool KaRuntimeLinker::Register(std::string const& name, Link const& link) {
    return m_links.emplace(name, link).second;
}

bool KaRuntimeLinker::Remove(std::string const& name) {
    return m_links.erase(name) > 0;
}

bool KaRuntimeLinker::Call(std::string const& name, KaRuntimeParameter& param) {
    auto const found = m_links.find(name);
    if (found == m_links.end())
        return false;
    // A copy: the callee may remove its own entry while it runs.
    Link const link = found->second;
    if (link.IsSet())
        link.Call(&param);
    return true;
}

// ---------------------------------------------------------------------------
// KaSystemEnviroment

eOperatingSystem KaSystemEnviroment::GetOperatingSystem() {
    return Env().os;
}

void KaSystemEnviroment::SetOperatingSystem(eOperatingSystem os) {
    Env().os = os;
}

eTarvoRunningMode KaSystemEnviroment::GetRunningMode() {
    return Env().mode;
}

void KaSystemEnviroment::SetRunningMode(eTarvoRunningMode mode) {
    Env().mode = mode;
}

// ---------------------------------------------------------------------------
// KaDifftime

KaDifftime::KaDifftime() {
    Start();
}

KaDifftime::~KaDifftime() = default;

KaDifftime::Stamp KaDifftime::Now() {
    using namespace std::chrono;
    auto const now = system_clock::now();
    auto const sinceMidnight = now - floor<days>(now);
    hh_mm_ss const t{floor<milliseconds>(sinceMidnight)};
    return {static_cast<int>(t.hours().count()), static_cast<int>(t.minutes().count()),
            static_cast<int>(t.seconds().count()), static_cast<int>(t.subseconds().count())};
}

void KaDifftime::Start() {
    m_start = Now();
    m_running = true;
}

void KaDifftime::Stop() {
    m_stop = Now();
    m_running = false;
}

void KaDifftime::SetStamps(Stamp const& start, Stamp const& stop) {
    m_start = start;
    m_stop = stop;
}

double KaDifftime::Value() const {
    double value = Seconds(m_stop) - Seconds(m_start);
    // Stopped on the next day: the clock went round once.
    if (value < 0.0 && !m_running)
        value += 86400.0;
    return value;
}
