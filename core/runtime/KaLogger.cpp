#include "runtime/KaLogger.h"

#include "textio/KaParser.h"
#include "textio/KaReader.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

// ---------------------------------------------------------------- KaLogger

int KaLogger::Start() {
    return 0;
}

int KaLogger::Stop() {
    return 0;
}

int KaLogger::Log(int /*msgLevel*/, char const* /*text*/) {
    return 0;
}

KaLogger::~KaLogger() = default;

KaLoggerRef::~KaLoggerRef() = default;

// ---------------------------------------------------------- KaMasterLogger

KaMasterLogger::KaMasterLogger() : format("[$hour24:$minute:$second] $mesg") {}

KaMasterLogger::~KaMasterLogger() = default;

void KaMasterLogger::AddLogger(KaLogger* logger) {
    if (logger)
        loggers.Add(new KaLoggerRef(logger));
}

void KaMasterLogger::SubtractLogger(KaLogger* logger) {
    for (KaLoggerRef* ref = loggers.First(); ref; ref = ref->Next()) {
        if (ref->GetLogger() == logger) {
            delete loggers.Subtract(ref);
            return;
        }
    }
}

// The next node is taken before each call, so a logger that removes itself
// from the master while it is being called does not break the walk.
int KaMasterLogger::Start() {
    int result = 0;
    for (KaLoggerRef *ref = loggers.First(), *next = nullptr; ref; ref = next) {
        next = ref->Next();
        if (ref->GetLogger()->Start() != 0)
            result = 1;
    }
    return result;
}

int KaMasterLogger::Stop() {
    int result = 0;
    for (KaLoggerRef *ref = loggers.First(), *next = nullptr; ref; ref = next) {
        next = ref->Next();
        if (ref->GetLogger()->Stop() != 0)
            result = 1;
    }
    return result;
}

int KaMasterLogger::Log(int msgLevel, char const* text) {
    String stamped(format);
    Format(stamped, text);
    int result = 0;
    for (KaLoggerRef *ref = loggers.First(), *next = nullptr; ref; ref = next) {
        next = ref->Next();
        KaLogger* logger = ref->GetLogger();
        if (logger->level >= msgLevel && logger->Log(msgLevel, stamped.chars()) != 0)
            result = 1;
    }
    return result;
}

void KaMasterLogger::SetFormat(char const* tmpl) {
    format = tmpl;
}

std::tm KaMasterLogger::CurrentLocalTime() const {
    std::time_t const now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

void KaMasterLogger::Format(String& templateCopy, char const* text) {
    std::tm const t = CurrentLocalTime();
    int const hour = t.tm_hour;
    auto replace = [&templateCopy](char const* placeholder, char const* fmt, int value) {
        std::array<char, 16> buffer{};
        std::snprintf(buffer.data(), buffer.size(), fmt, value);
        templateCopy.gsub(placeholder, buffer.data());
    };
    replace("$day", "%02d", t.tm_mday);
    replace("$month", "%02d", t.tm_mon + 1);
    replace("$year", "%4d", t.tm_year + 1900);
    replace("$hour12", "%02d", hour < 13 ? hour : hour - 12);
    replace("$hour24", "%02d", hour);
    replace("$minute", "%02d", t.tm_min);
    replace("$second", "%02d", t.tm_sec);
    templateCopy.gsub("$ampm", hour < 12 ? "AM" : "PM");
    templateCopy.gsub("$mesg", text ? text : "");
}

// ----------------------------------------------------- KaApplicationLogger

namespace {

KaMasterLogger* sMasterLogger = nullptr;

// Each waiting message is a node with the level as identifier and the text as name.
TKaListHeader<KaListnode>& PendingQueue() {
    static TKaListHeader<KaListnode> queue;
    return queue;
}

} // namespace

void KaApplicationLogger::RegisterMasterLogger(KaMasterLogger* master) {
    sMasterLogger = master;
}

KaMasterLogger* KaApplicationLogger::GetMasterLogger() {
    return sMasterLogger;
}

int KaApplicationLogger::Log(int msgLevel, String const& text) {
    TKaListHeader<KaListnode>& queue = PendingQueue();
    queue.Add(new KaListnode(static_cast<unsigned int>(msgLevel), text));
    // A message is unlinked before it is delivered, so a logger that logs
    // through the facade from inside its Log neither sees it twice nor
    // leaves this loop holding a deleted node.
    while (sMasterLogger && !queue.IsEmpty()) {
        std::unique_ptr<KaListnode> const node(queue.SubtractFirst());
        sMasterLogger->Log(static_cast<int>(node->GetId()), node->GetName().chars());
    }
    return queue.Count();
}

// ------------------------------------------------------ KaTarvoDebugLogger

namespace {

std::unique_ptr<KaTarvoDebugLogger> sDebugLogger;

} // namespace

KaTarvoDebugLogger::~KaTarvoDebugLogger() = default;

int KaTarvoDebugLogger::Log(int msgLevel, char const* text) {
    std::FILE* file = std::fopen(KaLogFilePath("TarvoProtokoll.log").c_str(), "a");
    if (!file)
        return 0;
    std::fprintf(file, "%d : %s\n", msgLevel, text ? text : "");
    std::fflush(file);
    std::fclose(file);
    return 0;
}

void InstallTarvoDebugLogger() {
    KaMasterLogger* master = KaApplicationLogger::GetMasterLogger();
    if (!master || sDebugLogger)
        return;
    sDebugLogger = std::make_unique<KaTarvoDebugLogger>();
    master->AddLogger(sDebugLogger.get());
    KaApplicationLogger::Log(4, String("InstallTarvoDebugLogger()"));
}

void UninstallTarvoDebugLogger() {
    KaMasterLogger* master = KaApplicationLogger::GetMasterLogger();
    if (!master || !sDebugLogger)
        return;
    KaApplicationLogger::Log(4, String("UninstallTarvoDebugLogger()"));
    master->SubtractLogger(sDebugLogger.get());
    sDebugLogger.reset();
}

bool IsTarvoDebugLoggerInstalled() {
    return sDebugLogger != nullptr;
}

// ------------------------------------------------------------ read errors

namespace {

String FormatText(char const* fmt, ...) __attribute__((format(printf, 1, 2)));

String FormatText(char const* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::va_list again;
    va_copy(again, args);
    int const size = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) + 1 : 1, '\0');
    if (size > 0)
        std::vsnprintf(buffer.data(), buffer.size(), fmt, again);
    va_end(again);
    return String(buffer.data());
}

} // namespace

void LogErrorsToApplicationLogger(KaReader const& reader) {
    int const count = reader.GetReadErrorCount();
    if (count <= 0)
        return;
    KaApplicationLogger::Log(2, FormatText(" %d Read Error(s) in %s:", count, reader.GetFilename().chars()));
    for (KaReaderError const* error = reader.GetReaderErrorList()->First(); error; error = error->Next()) {
        KaApplicationLogger::Log(2, FormatText(" - Line: %06d, Status: %s", error->GetLine(),
                                               GetKaParserStatusText(error->GetStatus())));
    }
}

// --------------------------------------------------------------- dbgprintf

namespace {

void DefaultDbgprintfSink(char const* text) {
    char const* on = std::getenv("TARVIS_DBGPRINTF");
    if (on && std::strcmp(on, "1") == 0)
        std::fputs(text, stderr);
}

KaDbgprintfSink sDbgprintfSink = &DefaultDbgprintfSink;

} // namespace

KaDbgprintfSink KaSetDbgprintfSink(KaDbgprintfSink sink) {
    KaDbgprintfSink const previous = sDbgprintfSink;
    sDbgprintfSink = sink ? sink : &DefaultDbgprintfSink;
    return previous;
}

int dbgprintf(char const* fmt, ...) {
    std::array<char, 1500> buffer{};
    std::va_list args;
    va_start(args, fmt);
    int const formatted = std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
    va_end(args);
    if (formatted < 0)
        return formatted;
    sDbgprintfSink(buffer.data());
    return static_cast<int>(std::strlen(buffer.data()));
}

std::string KaLogFilePath(char const* name) {
    std::filesystem::path folder;
    char const* dir = std::getenv("TARVIS_LOG_DIR");
    if (dir && *dir) {
        folder = dir;
    } else {
        std::error_code error;
        folder = std::filesystem::temp_directory_path(error);
        if (error)
            folder = "/tmp";
    }
    return (folder / name).string();
}
