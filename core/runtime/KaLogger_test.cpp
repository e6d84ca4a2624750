#include "runtime/KaLogger.h"

#include "textio/KaReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Lines = std::vector<std::pair<int, std::string>>;

class CaptureLogger : public KaLogger {
public:
    explicit CaptureLogger(int lvl = 3, int result = 0) : KaLogger(lvl), m_result(result) {}
    int Start() override {
        ++starts;
        return m_result;
    }
    int Stop() override {
        ++stops;
        return m_result;
    }
    int Log(int msgLevel, char const* text) override {
        lines.emplace_back(msgLevel, text);
        return m_result;
    }

    Lines lines;
    int starts = 0;
    int stops = 0;

private:
    int m_result;
};

// A master whose clock stands still at a chosen time.
class FixedClockMaster : public KaMasterLogger {
public:
    void SetTime(int year, int month, int day, int hour, int minute, int second) {
        m_time = std::tm{};
        m_time.tm_year = year - 1900;
        m_time.tm_mon = month - 1;
        m_time.tm_mday = day;
        m_time.tm_hour = hour;
        m_time.tm_min = minute;
        m_time.tm_sec = second;
    }

protected:
    std::tm CurrentLocalTime() const override { return m_time; }

private:
    std::tm m_time{};
};

// The facade is process-wide: every test starts and ends with no master, no
// debug logger and an empty queue.
void ResetFacade() {
    KaMasterLogger sink;
    KaApplicationLogger::RegisterMasterLogger(&sink);
    UninstallTarvoDebugLogger();
    KaApplicationLogger::Log(4, String("drain"));
    KaApplicationLogger::RegisterMasterLogger(nullptr);
}

struct CleanFacade {
    CleanFacade() { ResetFacade(); }
    ~CleanFacade() { ResetFacade(); }
    CleanFacade(CleanFacade const&) = delete;
    CleanFacade& operator=(CleanFacade const&) = delete;
};

std::vector<std::string> ReadLines(std::filesystem::path const& path) {
    std::vector<std::string> result;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// Points TARVIS_LOG_DIR at a fresh folder for one test and restores it afterwards.
class TempLogDir {
public:
    TempLogDir() {
        m_dir = std::filesystem::temp_directory_path() / ("tarvis_logger_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        if (char const* old = std::getenv("TARVIS_LOG_DIR")) {
            m_hadOld = true;
            m_old = old;
        }
        ::setenv("TARVIS_LOG_DIR", m_dir.c_str(), 1);
    }
    ~TempLogDir() {
        if (m_hadOld)
            ::setenv("TARVIS_LOG_DIR", m_old.c_str(), 1);
        else
            ::unsetenv("TARVIS_LOG_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    TempLogDir(TempLogDir const&) = delete;
    TempLogDir& operator=(TempLogDir const&) = delete;

    std::filesystem::path const& Dir() const { return m_dir; }
    std::filesystem::path File() const { return m_dir / "TarvoProtokoll.log"; }

private:
    std::filesystem::path m_dir;
    bool m_hadOld = false;
    std::string m_old;
};

} // namespace

TEST(KaApplicationLogger, QueuesUntilMasterThenDeliversInOrder) {
    CleanFacade clean;
    EXPECT_EQ(KaApplicationLogger::Log(2, String("one")), 1);
    EXPECT_EQ(KaApplicationLogger::Log(3, String("two")), 2);
    EXPECT_EQ(KaApplicationLogger::Log(4, String("three")), 3);

    KaMasterLogger master;
    master.SetFormat("$mesg");
    CaptureLogger capture(4);
    master.AddLogger(&capture);
    KaApplicationLogger::RegisterMasterLogger(&master);
    EXPECT_EQ(KaApplicationLogger::GetMasterLogger(), &master);

    EXPECT_EQ(KaApplicationLogger::Log(3, String("four")), 0);
    EXPECT_EQ(capture.lines, (Lines{{2, "one"}, {3, "two"}, {4, "three"}, {3, "four"}}));

    EXPECT_EQ(KaApplicationLogger::Log(2, String("five")), 0);
    EXPECT_EQ(capture.lines.back(), (std::pair<int, std::string>{2, "five"}));

    KaApplicationLogger::RegisterMasterLogger(nullptr);
    EXPECT_EQ(KaApplicationLogger::Log(3, String("later")), 1);
}

namespace {

// Logs once more through the facade from inside its own Log.
class EchoLogger : public CaptureLogger {
public:
    EchoLogger() : CaptureLogger(4) {}
    int Log(int msgLevel, char const* text) override {
        CaptureLogger::Log(msgLevel, text);
        if (!m_echoed) {
            m_echoed = true;
            KaApplicationLogger::Log(3, String("echo"));
        }
        return 0;
    }

private:
    bool m_echoed = false;
};

} // namespace

TEST(KaApplicationLogger, LoggerMayLogThroughTheFacade) {
    CleanFacade clean;
    KaApplicationLogger::Log(3, String("queued"));
    KaMasterLogger master;
    master.SetFormat("$mesg");
    EchoLogger echo;
    master.AddLogger(&echo);
    KaApplicationLogger::RegisterMasterLogger(&master);
    EXPECT_EQ(KaApplicationLogger::Log(3, String("now")), 0);
    // Every message exactly once, in the order the messages arrived.
    EXPECT_EQ(echo.lines, (Lines{{3, "queued"}, {3, "now"}, {3, "echo"}}));
}

TEST(KaMasterLogger, DeliversOnlyToAdmittingLoggers) {
    KaMasterLogger master;
    master.SetFormat("$mesg");
    CaptureLogger normal(3);
    CaptureLogger debug(4);
    master.AddLogger(&normal);
    master.AddLogger(&debug);
    for (int lvl : {2, 3, 4})
        master.Log(lvl, std::to_string(lvl).c_str());
    EXPECT_EQ(normal.lines, (Lines{{2, "2"}, {3, "3"}}));
    EXPECT_EQ(debug.lines, (Lines{{2, "2"}, {3, "3"}, {4, "4"}}));

    // Only the first reference goes; the logger itself lives on.
    master.AddLogger(&normal);
    master.SubtractLogger(&normal);
    master.SubtractLogger(&normal);
    master.SubtractLogger(nullptr);
    master.Log(2, "x");
    EXPECT_EQ(normal.lines.size(), 2U);
    EXPECT_EQ(debug.lines.size(), 4U);
}

TEST(KaMasterLogger, StartStopAndLogResults) {
    KaMasterLogger master;
    EXPECT_EQ(master.Start(), 0);
    EXPECT_EQ(master.Stop(), 0);
    EXPECT_EQ(master.Log(2, "nobody listens"), 0);

    CaptureLogger quiet(3, 0);
    CaptureLogger loud(3, 7);
    master.AddLogger(&loud);
    master.AddLogger(&quiet);
    EXPECT_EQ(master.Start(), 1);
    EXPECT_EQ(master.Stop(), 1);
    EXPECT_EQ(master.Log(3, "m"), 1);
    // Every logger is called, also after one has answered non-zero.
    EXPECT_EQ(quiet.starts, 1);
    EXPECT_EQ(quiet.stops, 1);
    EXPECT_EQ(quiet.lines.size(), 1U);

    master.SubtractLogger(&loud);
    EXPECT_EQ(master.Start(), 0);
    EXPECT_EQ(master.Log(4, "filtered"), 0);

    KaLogger base;
    EXPECT_EQ(base.level, 3);
    EXPECT_EQ(base.Stop(), 0);
    EXPECT_EQ(base.Log(1, "x"), 0);
}

TEST(KaMasterLogger, StampsThroughTheTemplate) {
    FixedClockMaster master;
    CaptureLogger capture(4);
    master.AddLogger(&capture);

    master.SetTime(2024, 3, 7, 9, 5, 7);
    master.Log(3, "abc");
    // Placeholder words inside the message are not expanded.
    master.Log(3, "at $hour24 $mesg");
    ASSERT_EQ(capture.lines.size(), 2U);
    EXPECT_EQ(capture.lines[0].second, "[09:05:07] abc");
    EXPECT_EQ(capture.lines[1].second, "[09:05:07] at $hour24 $mesg");

    master.SetFormat("$day.$month.$year $hour12$ampm $hour24|$minute:$second $mesg $day");
    master.Log(3, "x");
    EXPECT_EQ(capture.lines.back().second, "07.03.2024 09AM 09|05:07 x 07");

    std::vector<std::string> got;
    master.SetFormat("$hour12 $ampm");
    for (int hour : {0, 11, 12, 13, 23}) {
        master.SetTime(987, 12, 31, hour, 0, 0);
        master.Log(3, "");
        got.push_back(capture.lines.back().second);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"00 AM", "11 AM", "12 PM", "01 PM", "11 PM"}));

    master.SetFormat("$year");
    master.Log(3, "");
    EXPECT_EQ(capture.lines.back().second, " 987");
}

TEST(KaTarvoDebugLogger, InstallWritesProtocolAndUninstalls) {
    CleanFacade clean;
    TempLogDir dir;

    InstallTarvoDebugLogger();
    EXPECT_FALSE(IsTarvoDebugLoggerInstalled()) << "no master registered";

    KaMasterLogger master;
    master.SetFormat("$mesg");
    CaptureLogger normal(3);
    master.AddLogger(&normal);
    KaApplicationLogger::RegisterMasterLogger(&master);

    InstallTarvoDebugLogger();
    InstallTarvoDebugLogger();
    EXPECT_TRUE(IsTarvoDebugLoggerInstalled());
    KaApplicationLogger::Log(2, String("read error"));
    KaApplicationLogger::Log(4, String("KaProject::Read Start"));
    EXPECT_EQ(normal.lines, (Lines{{2, "read error"}}));

    // Without a master, uninstall leaves the logger in place.
    KaApplicationLogger::RegisterMasterLogger(nullptr);
    UninstallTarvoDebugLogger();
    EXPECT_TRUE(IsTarvoDebugLoggerInstalled());
    KaApplicationLogger::RegisterMasterLogger(&master);

    UninstallTarvoDebugLogger();
    EXPECT_FALSE(IsTarvoDebugLoggerInstalled());
    KaApplicationLogger::Log(4, String("not written"));

    EXPECT_EQ(ReadLines(dir.File()),
              (std::vector<std::string>{"4 : InstallTarvoDebugLogger()", "2 : read error",
                                        "4 : KaProject::Read Start", "4 : UninstallTarvoDebugLogger()"}));
}

TEST(KaTarvoDebugLogger, UnwritableFolderDropsTheLine) {
    TempLogDir dir;
    ::setenv("TARVIS_LOG_DIR", (dir.Dir() / "missing").c_str(), 1);
    KaTarvoDebugLogger logger;
    EXPECT_EQ(logger.level, 4);
    EXPECT_EQ(logger.Log(2, "lost"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.Dir() / "missing"));
}

namespace {

std::string sCaptured;
int sSinkCalls = 0;
void CaptureSink(char const* text) {
    sCaptured = text;
    ++sSinkCalls;
}

} // namespace

TEST(dbgprintf, FormatsAndCutsAtTheBuffer) {
    KaDbgprintfSink const previous = KaSetDbgprintfSink(&CaptureSink);
    sSinkCalls = 0;

    EXPECT_EQ(dbgprintf("%s=%5.2f|%03d", "a", 2.5, 7), 11);
    EXPECT_EQ(sCaptured, "a= 2.50|007");

    std::string const longText(2000, 'x');
    EXPECT_EQ(dbgprintf("%s", longText.c_str()), 1499);
    EXPECT_EQ(sCaptured, std::string(1499, 'x'));
    EXPECT_EQ(dbgprintf("%s", std::string(1499, 'y').c_str()), 1499);
    EXPECT_EQ(sCaptured, std::string(1499, 'y'));
    EXPECT_EQ(sSinkCalls, 3);

    EXPECT_EQ(KaSetDbgprintfSink(nullptr), &CaptureSink);
    ::unsetenv("TARVIS_DBGPRINTF");
    testing::internal::CaptureStderr();
    dbgprintf("silent %d\n", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ::setenv("TARVIS_DBGPRINTF", "1", 1);
    testing::internal::CaptureStderr();
    dbgprintf("loud %d\n", 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "loud 2\n");
    ::unsetenv("TARVIS_DBGPRINTF");

    KaSetDbgprintfSink(previous);
}

TEST(KaApplicationLogger, LogsReadErrorsWithTheirLines) {
    CleanFacade clean;
    KaMasterLogger master;
    master.SetFormat("$mesg");
    CaptureLogger errors(2);
    master.AddLogger(&errors);
    KaApplicationLogger::RegisterMasterLogger(&master);

    std::istringstream in("NUMBER 1\nNUMBER \"x\"\n");
    KaReader reader(in, "camera.cam");
    int number = 0;
    KaReaderObject object("NUMBER", &number);
    reader.RegisterObject(object);
    reader.DoProcess(true);
    LogErrorsToApplicationLogger(reader);
    EXPECT_EQ(errors.lines, (Lines{{2, " 1 Read Error(s) in camera.cam:"},
                                   {2, " - Line: 000002, Status: ParserErrorNotSpecifiedToken"}}));

    // A clean reading logs nothing.
    errors.lines.clear();
    std::istringstream good("NUMBER 1\n");
    KaReader cleanReader(good, "good.cam");
    cleanReader.DoProcess(true);
    LogErrorsToApplicationLogger(cleanReader);
    EXPECT_TRUE(errors.lines.empty());
    KaApplicationLogger::RegisterMasterLogger(nullptr);
}
