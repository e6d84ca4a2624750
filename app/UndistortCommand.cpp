#include "CliFiles.h"
#include "Commands.h"

#include <fmt/format.h>
#include <fmt/ostream.h>

#include <locale>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace tarvis {

int RunUndistort(UndistortOptions const& options, std::ostream& out, std::ostream& err) {
    KaPointFormat format;
    try {
        format = MakeFormat(ParseColumns(options.columns));
    } catch (std::invalid_argument const& e) {
        fmt::print(err, "--columns: {}\n", e.what());
        return ExitUsage;
    }
    if (format.HasEntry(PRW_X) < 0 || format.HasEntry(PRW_Y) < 0) {
        fmt::print(err, "--columns: the columns X and Y are needed\n");
        return ExitUsage;
    }
    if (!options.output.empty() &&
        (SameFile(options.output, options.points) || SameFile(options.output, options.cameraFile))) {
        fmt::print(err, "{}: will not overwrite an input file\n", options.output);
        return ExitUsage;
    }

    KaCameraList cameras;
    if (!ReadCameraFile(options.cameraFile, cameras, err))
        return ExitFailed;
    KaCamera const* camera = options.camera != 0 ? cameras.Find(options.camera) : nullptr;
    if (!camera) {
        fmt::print(err, "{}: no camera {}\n", options.cameraFile, options.camera);
        return ExitFailed;
    }

    KaPointList points;
    if (!ReadPointFile(options.points, format, points, err))
        return ExitFailed;
    points.SetMask(format);

    // Each point on its own, so that one that does not converge is named.
    int failed = 0;
    for (KaPoint* p = points.First(); p; p = p->Next()) {
        bool const ok = options.inverse ? camera->InvAdjust(p) : camera->Adjust(p);
        if (!ok) {
            fmt::print(err, "{}: point {}: {} failed; left as it was\n", options.points, p->GetId(),
                       options.inverse ? "adding the distortion" : "the correction");
            ++failed;
        }
    }

    std::ostringstream text;
    text.imbue(std::locale::classic());
    points.Write(text);
    if (points.Count() > 0)
        text << '\n';
    if (options.output.empty())
        out << text.str();
    else if (!WriteOutputFile(options.output, text.str(), err))
        return ExitFailed;
    return failed == 0 ? ExitOk : ExitFailed;
}

} // namespace tarvis
