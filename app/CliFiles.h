#pragma once

// What the commands of the tarvis program share: telling file kinds apart,
// reading files with their errors, the point columns and the output files.

#include "Tarvis.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvis {

// The kinds of file the commands read.
enum class FileKind { Camera, Reseau, DigitalReseau, Points, Other, Missing, Broken };

struct DetectedFile {
    FileKind kind = FileKind::Missing;
    eTarvoFiletype type = FT_NONE; // the kind of the extension table
    std::string problem;           // why the file cannot be read, for Missing and Broken
    int line = 0;                  // where the problem is, when in a line

    // "FILE: problem" or "FILE:LINE: problem".
    std::string Message(std::string const& path) const;
};

// The kind of a file from its extension and its first token; ".cam" is a camera
// file. A file whose first token does not fit its extension is Broken.
DetectedFile DetectFile(std::string const& path);

// A short name of a kind for the reports, such as "reseau file".
char const* KindName(DetectedFile const& file);

// The point columns: codes of the point format, named by the column titles ("#",
// "PP", "Code", "X", "dx", ...) or by the words number, name, code, photo, camera,
// skip; case does not matter. Throws std::invalid_argument naming the bad one.
std::vector<eKaPointRWMask> ParseColumns(std::string const& text);
KaPointFormat MakeFormat(std::vector<eKaPointRWMask> const& columns);

// One message per read error, "FILE:LINE: TEXT", the form editors understand, and
// a note for each unknown block that was skipped. Returns the number of errors.
int ReportReadErrors(std::ostream& err, std::string const& path, KaReaderErrorList const& errors);

// Reads points from a point file with the given columns, or the crosses of a
// reseau file; messages go to err. Returns false when the file could not be read
// or had errors (the points read stay in points).
bool ReadPointFile(std::string const& path, KaPointFormat const& format, KaPointList& points,
                   std::ostream& err);
// The same for a file whose kind is known already.
bool ReadPointFile(std::string const& path, DetectedFile const& file, KaPointFormat const& format,
                   KaPointList& points, std::ostream& err);

// Reads a camera file into cameras; messages go to err. False on any error.
bool ReadCameraFile(std::string const& path, KaCameraList& cameras, std::ostream& err);
bool ReadCameraFile(std::string const& path, DetectedFile const& file, KaCameraList& cameras,
                    std::ostream& err);

// Reads the entries of a digital-camera reseau file; messages go to err. False on
// any error.
bool ReadDigitalReseauFile(std::string const& path, KaReseaufileList& entries, std::ostream& err);

// True when both paths name the same existing file.
bool SameFile(std::string const& a, std::string const& b);

// Writes text to path under a temporary name renamed into place. False, with a
// message on err, when it cannot.
bool WriteOutputFile(std::string const& path, std::string const& text, std::ostream& err);

} // namespace tarvis
