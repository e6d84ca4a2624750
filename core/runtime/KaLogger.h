#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/String.h"

#include <ctime>
#include <string>

class KaReader;

// Base of all loggers. A message of level L reaches a logger of level T only
// if L <= T; smaller levels are more important (2 errors, 3 normal, 4 debug).
class TARVIS_API KaLogger {
public:
    KaLogger() = default;
    explicit KaLogger(int lvl) : level(lvl) {}
    KaLogger(KaLogger const&) = default;
    KaLogger& operator=(KaLogger const&) = default;

    virtual int Start();
    virtual int Stop();
    virtual int Log(int msgLevel, char const* text);
    virtual ~KaLogger();

    int level = 3;
};

// A list element referring to one logger; it does NOT own the logger.
class TARVIS_API KaLoggerRef : public KaListnode {
public:
    KaLoggerRef() = default;
    explicit KaLoggerRef(KaLogger* logger) : m_logger(logger) {}
    KaLoggerRef(KaLoggerRef const&) = default;
    KaLoggerRef& operator=(KaLoggerRef const&) = default;
    ~KaLoggerRef() override;

    KaLogger* GetLogger() const { return m_logger; }

    KaLoggerRef* Next() const { return static_cast<KaLoggerRef*>(KaListnode::Next()); }
    KaLoggerRef* Previous() const { return static_cast<KaLoggerRef*>(KaListnode::Previous()); }

private:
    KaLogger* m_logger = nullptr;
};

// Stamps each message with the time through a text template and hands it to
// every registered logger whose level admits it. The master owns only the
// reference nodes, never the loggers.
//
// Template placeholders: $day $month $year $hour12 $hour24 $minute $second
// $ampm $mesg. The message is inserted last, so placeholder words inside the
// message itself stay as they are.
class TARVIS_API KaMasterLogger : public KaLogger {
public:
    KaMasterLogger();
    KaMasterLogger(KaMasterLogger const&) = default;
    KaMasterLogger& operator=(KaMasterLogger const&) = default;
    ~KaMasterLogger() override;

    int Start() override;
    int Stop() override;
    int Log(int msgLevel, char const* text) override;

    // Appends a reference; a null logger is ignored.
    void AddLogger(KaLogger* logger);
    // Removes the first reference to the logger (the logger is not destroyed).
    void SubtractLogger(KaLogger* logger);
    void SetFormat(char const* tmpl);
    String const& GetFormat() const { return format; }

protected:
    // Expands the placeholders of templateCopy in place, with the current local time.
    void Format(String& templateCopy, char const* text);
    // The time used for the stamp; derived classes may supply another clock.
    virtual std::tm CurrentLocalTime() const;

    TKaListHeader<KaLoggerRef> loggers;
    String format;
};

// The process-wide logging facade (static members only). Messages logged
// while no master is registered wait in a queue and are delivered, oldest
// first, with the first message logged after registration.
class TARVIS_API KaApplicationLogger {
public:
    // Stores the master (non-owning; null unregisters). A master must be
    // unregistered before it is destroyed.
    static void RegisterMasterLogger(KaMasterLogger* master);
    static KaMasterLogger* GetMasterLogger();
    // Returns the number of messages still waiting: 0 whenever a master is registered.
    static int Log(int msgLevel, String const& text);
};

// Appends every message to the protocol file "TarvoProtokoll.log", in the
// folder named by TARVIS_LOG_DIR or else in the system's temporary folder.
class TARVIS_API KaTarvoDebugLogger : public KaLogger {
public:
    KaTarvoDebugLogger() : KaLogger(4) {}
    KaTarvoDebugLogger(KaTarvoDebugLogger const&) = default;
    KaTarvoDebugLogger& operator=(KaTarvoDebugLogger const&) = default;
    ~KaTarvoDebugLogger() override;

    // Writes "<level> : <text>"; a file that cannot be opened drops the line.
    int Log(int msgLevel, char const* text) override;
};

// Debug logger control: each is a no-op without a registered master, and
// install (uninstall) does nothing when one is (is not) installed.
TARVIS_API void InstallTarvoDebugLogger();
TARVIS_API void UninstallTarvoDebugLogger();
// Test this before building level-4 trace texts.
TARVIS_API bool IsTarvoDebugLoggerInstalled();

// The path of a debug log file called name: in the folder named by the
// environment variable TARVIS_LOG_DIR, else in the system's temporary folder.
TARVIS_API std::string KaLogFilePath(char const* name);

// Logs the reader's error count and file name, then one line per error, at level 2.
TARVIS_API void LogErrorsToApplicationLogger(KaReader const& reader);

// Formats like printf into a 1500-byte buffer (longer output is cut to 1499
// characters) and passes the text to the debug output. Returns the number of
// characters passed on, or a negative value on a formatting error (nothing is
// passed on then). The default output is silent unless the environment
// variable TARVIS_DBGPRINTF is "1", which sends it to standard error.
TARVIS_API int dbgprintf(char const* fmt, ...) __attribute__((format(printf, 1, 2)));

// Replaces the debug output; null restores the default. Returns the previous one.
using KaDbgprintfSink = void (*)(char const* text);
TARVIS_API KaDbgprintfSink KaSetDbgprintfSink(KaDbgprintfSink sink);
