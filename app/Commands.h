#pragma once

// The commands of the tarvis program. Each takes its options, writes its report to
// out and its messages to err, and returns the exit code.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvis {

// The exit codes of every command.
enum ExitCode : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct CheckOptions {
    std::vector<std::string> files;
    std::string columns; // empty: by file kind
};

struct FitOptions {
    std::string source;
    std::string target;
    std::string type = "auto";
    std::string columns = "number,X,Y";
    std::string region;       // "L,B,R,T"; empty: the box of the source points
    bool reject = false;      // remove blunders
    std::string rejectLimits; // "DX,DY"; empty: three times the RMS of each axis
    std::string write;        // the transformation record goes here
    bool json = false;
};

struct UndistortOptions {
    std::string cameraFile;
    unsigned int camera = 0;
    std::string points;
    std::string columns = "number,X,Y";
    std::string output; // empty: standard output
    bool inverse = false;
};

int RunCheck(CheckOptions const& options, std::ostream& out, std::ostream& err);
int RunFit(FitOptions const& options, std::ostream& out, std::ostream& err);
int RunUndistort(UndistortOptions const& options, std::ostream& out, std::ostream& err);

} // namespace tarvis
