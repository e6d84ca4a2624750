#include "textio/KaFileName.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <locale>
#include <ostream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Position of the last separator, never 0; -1 when there is none.
int LastSeparator(String const& path) {
    for (int i = path.length() - 1; i > 0; --i)
        if (IsSeparator(path[i]))
            return i;
    return -1;
}

// Position of the last dot of the file name part, never 0; -1 when there is none.
int LastDot(String const& path) {
    for (int i = path.length() - 1; i > 0; --i) {
        if (IsSeparator(path[i]))
            return -1;
        if (path[i] == '.')
            return i;
    }
    return -1;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

bool StartsNoCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && EqualNoCase(line.substr(0, key.size()), key);
}

// The lines of a settings file, without line ends; false when it cannot be opened.
bool ReadLines(char const* filename, std::vector<std::string>& lines) {
    std::ifstream in(filename);
    if (!in)
        return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return true;
}

void CopyOut(char* buffer, int size, std::string_view text) {
    size_t const n = std::min(text.size(), static_cast<size_t>(std::max(size, 0)));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

} // namespace

String KaGetFilename(String const& path) {
    int const sep = LastSeparator(path);
    return sep < 0 ? path : String(path.chars() + sep + 1);
}

String KaGetPath(String const& path) {
    int const sep = LastSeparator(path);
    return sep < 0 ? String() : String(path.chars(), sep);
}

String KaGetFilenameNoExt(String const& path) {
    String const name = KaGetFilename(path);
    int const dot = LastDot(name);
    return dot < 0 ? name : String(name.chars(), dot);
}

String KaGetExtension(String const& path) {
    int const dot = LastDot(path);
    return dot < 0 ? String() : String(path.chars() + dot + 1);
}

void KaChangeFileExtension(String& path, String const& extension) {
    int const dot = LastDot(path);
    if (dot >= 0)
        path = String(path.chars(), dot);
    path += ".";
    path += extension;
}

String KaMakeFilename(String const& folder, String const& name) {
    if (folder.empty())
        return name;
    char const separator = folder.contains('\\') && !folder.contains('/') ? '\\' : '/';
    if (folder.lastchar() == separator || name.firstchar() == separator)
        return folder + name;
    return folder + separator + name;
}

bool KaExistFile(String const& name) {
    return std::ifstream(name.chars()).is_open();
}

int KaGetPrivateProfile(char const* section, char const* key, char* buffer, int size,
                        char const* defaultValue, char const* filename) {
    std::vector<std::string> lines;
    if (size < 1 || !ReadLines(filename, lines))
        return 0;
    std::string const header = std::string("[") + section + "]";
    auto line =
        std::find_if(lines.begin(), lines.end(), [&](auto const& l) { return EqualNoCase(l, header); });
    if (line != lines.end())
        line = std::find_if(line + 1, lines.end(), [&](auto const& l) { return StartsNoCase(l, key); });
    if (line == lines.end()) {
        CopyOut(buffer, size - 1, defaultValue ? defaultValue : "");
        return static_cast<int>(std::strlen(buffer));
    }
    size_t const equals = line->find('=');
    if (equals == std::string::npos) {
        buffer[0] = '\0';
        return 0;
    }
    CopyOut(buffer, size - 2, std::string_view(*line).substr(equals + 1));
    return static_cast<int>(std::strlen(buffer));
}

int KaWritePrivateProfile(char const* section, char const* key, char const* value, char const* filename) {
    std::string const header = std::string("[") + section + "]";
    std::string const keyLine = std::string(key) + "=" + value;

    std::vector<std::string> in;
    std::vector<std::string> out;
    if (!ReadLines(filename, in)) {
        out = {header, keyLine};
    } else {
        auto line = in.begin();
        for (; line != in.end() && !EqualNoCase(*line, header); ++line)
            out.push_back(*line);
        if (line == in.end()) {
            out.insert(out.end(), {"", header, keyLine});
        } else {
            out.push_back(*line++);
            for (;; ++line) {
                if (line == in.end()) {
                    out.push_back(keyLine);
                    break;
                }
                if (StartsNoCase(*line, key)) {
                    out.push_back(keyLine);
                    ++line;
                    break;
                }
                if (line->empty()) {
                    out.push_back(keyLine);
                    break;
                }
                out.push_back(*line);
            }
            out.insert(out.end(), line, in.end());
        }
    }

    // The new text replaces the old file in one step, so a failure at any point
    // leaves the old settings as they were.
    bool const ok = KaWriteFileReplacing(filename, [&out](std::ostream& os) {
        for (auto const& l : out)
            os << l << '\n';
    });
    return ok ? 1 : 0;
}

int KaWritefPrivateProfile(char const* section, char const* key, char const* filename, char const* format,
                           ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    int const n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (n < 0) {
        // A format the C library rejects writes nothing.
        va_end(again);
        return 0;
    }
    std::vector<char> value(static_cast<size_t>(n) + 1);
    std::vsnprintf(value.data(), value.size(), format, again);
    va_end(again);
    return KaWritePrivateProfile(section, key, value.data(), filename);
}

bool KaWriteFileReplacing(String const& path, std::function<void(std::ostream&)> const& write) {
    std::string const target = path.chars();
    struct stat old {};
    bool const exists = ::stat(target.c_str(), &old) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return false;

    std::string temporary = target + ".XXXXXX";
    int const fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    mode_t mode = 0;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        mode_t const mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) {
        std::vector<char> buffer(1 << 16);
        std::ofstream file;
        file.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        file.open(temporary, std::ios::out | std::ios::trunc);
        file.imbue(std::locale::classic());
        write(file);
        file.close();
        ok = !file.fail();
    }
    if (ok)
        ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}
