#include "CliFiles.h"

#include <fmt/format.h>
#include <fmt/ostream.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string_view>

namespace tarvis {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string Trim(std::string_view text) {
    auto const first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    auto const last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

struct ColumnName {
    char const* name;
    eKaPointRWMask code;
};

// The column titles of the point format and a few plain words for them.
constexpr std::array<ColumnName, 30> ColumnNames{{
    {"#", PRW_NUMBER},
    {"number", PRW_NUMBER},
    {"id", PRW_NUMBER},
    {"pp", PRW_NAME},
    {"name", PRW_NAME},
    {"code", PRW_CODE},
    {"code123", PRW_CODE123},
    {"photo", PRW_PHOTO},
    {"camera", PRW_CAMERA},
    {"x", PRW_X},
    {"y", PRW_Y},
    {"z", PRW_Z},
    {"dx", PRW_DX},
    {"dy", PRW_DY},
    {"dz", PRW_DZ},
    {"ds", PRW_DS},
    {"redu", PRW_REDU},
    {"redu2", PRW_REDU2},
    {"redu3", PRW_REDU3},
    {"skip", PRW_SKIP},
    {"sx", PRW_SX},
    {"sy", PRW_SY},
    {"sz", PRW_SZ},
    {"residual x", PRW_RESX},
    {"residual y", PRW_RESY},
    {"residual z", PRW_RESZ},
    {"resx", PRW_RESX},
    {"resy", PRW_RESY},
    {"resz", PRW_RESZ},
    {"-", PRW_SKIP},
}};

// Reads the entries of a digital-camera reseau file into a list, as the list's
// own reading does, for a reader whose errors the caller wants to see.
struct DigitalReseauReader {
    KaReseaufileList* list;
    int Entry(KaReaderObject* object) {
        KaReseauFile entry;
        entry.ReadDigitalCameraFormat(object);
        if (entry.IsValid()) {
            entry.SetId(list->GetFreeId(0));
            list->Add(entry);
        }
        return 1;
    }
};

// Runs a reader with one handler for the whole file and reports its errors.
bool ReadWith(std::string const& path, Link const& handler, std::ostream& err) {
    KaReader reader{String(path.c_str())};
    KaReaderObject anonymous(handler);
    reader.RegisterObject(anonymous);
    reader.DoProcess(true);
    return ReportReadErrors(err, path, *reader.GetReaderErrorList()) == 0;
}

} // namespace

std::string DetectedFile::Message(std::string const& path) const {
    return line > 0 ? fmt::format("{}:{}: {}", path, line, problem) : fmt::format("{}: {}", path, problem);
}

DetectedFile DetectFile(std::string const& path) {
    DetectedFile file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || !std::ifstream(path).good()) {
        file.kind = FileKind::Missing;
        file.problem = std::filesystem::exists(path, ec) ? "cannot be read" : "no such file";
        return file;
    }
    if (Lower(std::filesystem::path(path).extension().string()) == ".cam") {
        file.kind = FileKind::Camera;
        return file;
    }

    KaDetectTarvoFiles const detect{String(path.c_str())};
    file.type = detect.DetectByExtension();
    if (file.type == FT_NONE) {
        file.kind = FileKind::Other;
        file.problem = "unknown file kind";
        return file;
    }
    eTarvoFiletype valid = FT_NONE;
    try {
        valid = detect.IsValidTarvoFile();
    } catch (KaParserStatus const& status) {
        file.kind = FileKind::Broken;
        file.problem = status.GetText();
        file.line = status.GetLine();
        return file;
    }
    if (valid == FT_NONE) {
        file.kind = FileKind::Broken;
        file.problem = std::filesystem::file_size(path, ec) == 0
                           ? "is empty"
                           : fmt::format("does not begin like a .{} file", GetKaExtension(file.type));
        return file;
    }
    switch (valid) {
    case FT_RES:
        file.kind = FileKind::Reseau;
        break;
    case FT_DRES:
        file.kind = FileKind::DigitalReseau;
        break;
    case FT_COO:
    case FT_IMO:
        file.kind = FileKind::Points;
        break;
    default:
        file.kind = FileKind::Other;
        file.problem = "no reader for this kind of file here";
        break;
    }
    return file;
}

char const* KindName(DetectedFile const& file) {
    switch (file.kind) {
    case FileKind::Camera:
        return "camera file";
    case FileKind::Reseau:
        return "reseau file";
    case FileKind::DigitalReseau:
        return "digital-camera reseau file";
    case FileKind::Points:
        return file.type == FT_IMO ? "image point file" : "point file";
    default:
        return "unknown";
    }
}

std::vector<eKaPointRWMask> ParseColumns(std::string const& text) {
    std::vector<eKaPointRWMask> columns;
    std::string_view rest(text);
    for (;;) {
        auto const comma = rest.find(',');
        std::string const word = Lower(Trim(rest.substr(0, comma)));
        auto const found = std::find_if(ColumnNames.begin(), ColumnNames.end(),
                                        [&word](ColumnName const& c) { return word == c.name; });
        if (found == ColumnNames.end())
            throw std::invalid_argument(fmt::format("unknown column \"{}\"", word));
        columns.push_back(found->code);
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return columns;
}

KaPointFormat MakeFormat(std::vector<eKaPointRWMask> const& columns) {
    std::vector<eKaPointRWMask> table(columns);
    table.push_back(static_cast<eKaPointRWMask>(0));
    return KaPointFormat(table.data());
}

int ReportReadErrors(std::ostream& err, std::string const& path, KaReaderErrorList const& errors) {
    int count = 0;
    for (KaReaderError const* e = errors.First(); e; e = e->Next()) {
        if (e->GetStatus() == ParserStatusOK) {
            fmt::print(err, "{}:{}: note: unknown block skipped\n", path, e->GetLine());
        } else {
            fmt::print(err, "{}:{}: {}\n", path, e->GetLine(), e->GetText());
            ++count;
        }
    }
    return count;
}

bool ReadPointFile(std::string const& path, KaPointFormat const& format, KaPointList& points,
                   std::ostream& err) {
    return ReadPointFile(path, DetectFile(path), format, points, err);
}

bool ReadPointFile(std::string const& path, DetectedFile const& file, KaPointFormat const& format,
                   KaPointList& points, std::ostream& err) {
    switch (file.kind) {
    case FileKind::Missing:
    case FileKind::Broken:
        fmt::print(err, "{}\n", file.Message(path));
        return false;
    case FileKind::Reseau: {
        KaReseauFile reseau;
        bool const clean = ReadWith(path, Link(&reseau, &KaReseauFile::Read), err);
        if (!reseau.IsValid()) {
            fmt::print(err, "{}: the reseau file ends before its crosses\n", path);
            return false;
        }
        points = reseau.GetCrossList();
        return clean;
    }
    case FileKind::Points:
    case FileKind::Other: {
        // Any other file is read as columns of points, as asked for.
        KaReaderErrorList errors;
        points.ReadFile(String(path.c_str()), format, &errors);
        return ReportReadErrors(err, path, errors) == 0;
    }
    default:
        fmt::print(err, "{}: a {} holds no points\n", path, KindName(file));
        return false;
    }
}

bool ReadCameraFile(std::string const& path, KaCameraList& cameras, std::ostream& err) {
    return ReadCameraFile(path, DetectFile(path), cameras, err);
}

bool ReadCameraFile(std::string const& path, DetectedFile const& file, KaCameraList& cameras,
                    std::ostream& err) {
    if (file.kind == FileKind::Missing) {
        fmt::print(err, "{}\n", file.Message(path));
        return false;
    }
    return ReadWith(path, Link(&cameras, &KaCameraList::Read), err);
}

bool ReadDigitalReseauFile(std::string const& path, KaReseaufileList& entries, std::ostream& err) {
    DigitalReseauReader reader{&entries};
    return ReadWith(path, Link(&reader, &DigitalReseauReader::Entry), err);
}

bool SameFile(std::string const& a, std::string const& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

bool WriteOutputFile(std::string const& path, std::string const& text, std::ostream& err) {
    if (KaWriteFileReplacing(String(path.c_str()), [&text](std::ostream& os) { os << text; }))
        return true;
    fmt::print(err, "{}: cannot be written\n", path);
    return false;
}

} // namespace tarvis
