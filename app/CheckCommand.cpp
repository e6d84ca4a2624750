#include "CliFiles.h"
#include "Commands.h"

#include <fmt/format.h>
#include <fmt/ostream.h>

#include <ostream>
#include <sstream>
#include <stdexcept>

namespace tarvis {

namespace {

// Reads one file with the reader of its kind: the summary line goes to out, the
// errors to err. Returns whether the file read cleanly.
bool CheckFile(std::string const& path, std::string const& columns, std::ostream& out, std::ostream& err) {
    DetectedFile const file = DetectFile(path);
    std::ostringstream errors; // collected, so that the summary comes first
    std::string summary;
    bool clean = true;
    switch (file.kind) {
    case FileKind::Missing:
    case FileKind::Broken:
    case FileKind::Other:
        fmt::print(err, "{}\n", file.Message(path));
        return false;
    case FileKind::Camera: {
        KaCameraList cameras;
        clean = ReadCameraFile(path, file, cameras, errors);
        summary = fmt::format("{} cameras", cameras.Count());
        break;
    }
    case FileKind::Reseau: {
        KaPointList crosses;
        clean = ReadPointFile(path, file, KaPointFormat(), crosses, errors);
        summary = fmt::format("{} crosses", crosses.Count());
        break;
    }
    case FileKind::DigitalReseau: {
        KaReseaufileList entries;
        clean = ReadDigitalReseauFile(path, entries, errors);
        summary = fmt::format("{} entries", entries.Count());
        break;
    }
    case FileKind::Points: {
        std::string const wanted = !columns.empty()      ? columns
                                   : file.type == FT_COO ? "number,X,Y,Z"
                                                         : "number,X,Y";
        KaPointList points;
        clean = ReadPointFile(path, file, MakeFormat(ParseColumns(wanted)), points, errors);
        summary = fmt::format("{} points", points.Count());
        break;
    }
    }
    fmt::print(out, "{}: {}, {}{}\n", path, KindName(file), summary, clean ? "" : " (with errors)");
    err << errors.str();
    return clean;
}

} // namespace

int RunCheck(CheckOptions const& options, std::ostream& out, std::ostream& err) {
    if (!options.columns.empty()) {
        try {
            ParseColumns(options.columns);
        } catch (std::invalid_argument const& e) {
            fmt::print(err, "--columns: {}\n", e.what());
            return ExitUsage;
        }
    }
    bool allClean = true;
    for (std::string const& path : options.files)
        allClean = CheckFile(path, options.columns, out, err) && allClean;
    return allClean ? ExitOk : ExitFailed;
}

} // namespace tarvis
