#pragma once

#include "TarvisExport.h"
#include "foundation/String.h"

#include <functional>
#include <iosfwd>

// File names. "\", "/" and ":" separate folders; searches for separators and
// dots run from the end and never look at the first character.

// The text after the last separator; the whole path when there is none.
TARVIS_API String KaGetFilename(String const& path);
// The text before the last separator; empty when there is none.
TARVIS_API String KaGetPath(String const& path);
// The file name without its extension.
TARVIS_API String KaGetFilenameNoExt(String const& path);
// The text after the last dot of the file name, without the dot; empty when none.
TARVIS_API String KaGetExtension(String const& path);
// Replaces (or adds) the extension of the file name; extension comes without dot.
TARVIS_API void KaChangeFileExtension(String& path, String const& extension);
// folder and name joined with "/", or with "\" when folder is a Windows path
// (it holds a backslash and no "/"); name alone when folder is empty.
TARVIS_API String KaMakeFilename(String const& folder, String const& name);
// True when the file can be opened for reading.
TARVIS_API bool KaExistFile(String const& name);

// Writes a file through write(os), in the classic locale, under a temporary name in
// the target's folder, and renames it into place: a failure at any point leaves the
// old file as it was. A target that exists but may not be written to is left alone;
// a new file gets the permissions the umask allows, a replaced one keeps its own.
// Returns false on failure.
TARVIS_API bool KaWriteFileReplacing(String const& path, std::function<void(std::ostream&)> const& write);

// Settings files of "[section]" lines and "key=value" lines. Sections and keys
// match without regard to case; a key matches every line that begins with it.

// The value of key in section, or defaultValue; returns the length left in buffer.
// A missing file returns 0 and leaves buffer untouched.
TARVIS_API int KaGetPrivateProfile(char const* section, char const* key, char* buffer, int size,
                                   char const* defaultValue, char const* filename);
// Sets key in section; 1 on success, 0 when the file cannot be written (the old
// file then stays as it was).
TARVIS_API int KaWritePrivateProfile(char const* section, char const* key, char const* value,
                                     char const* filename);
// As KaWritePrivateProfile, with the value formatted by printf rules.
TARVIS_API int KaWritefPrivateProfile(char const* section, char const* key, char const* filename,
                                      char const* format, ...) __attribute__((format(printf, 4, 5)));
