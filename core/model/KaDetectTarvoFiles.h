#pragma once

#include "TarvisExport.h"
#include "foundation/String.h"

// File kinds, in the order of the extension table.
enum eTarvoFiletype {
    FT_PRO = 0,  // project file: begins with a keyword
    FT_COO = 1,  // begins with an integer
    FT_AOR = 2,  // begins with an integer
    FT_SIP = 3,  // begins with "{"
    FT_IMO = 4,  // begins with an integer
    FT_AOB = 5,  // never accepted
    FT_LOG = 6,  // never accepted
    FT_MLG = 7,  // never accepted
    FT_RES = 8,  // reseau file: begins with a quoted string
    FT_DRES = 9, // digital camera reseau file: begins with "{"
    FT_NONE = 10 // not a known or not a valid file
};

// The lower-case extension of a kind, without dot; "" for FT_NONE and unknown values.
TARVIS_API char const* GetKaExtension(eTarvoFiletype type);

// Tells the kind of a data file from its extension and its first token.
class TARVIS_API KaDetectTarvoFiles {
public:
    explicit KaDetectTarvoFiles(String const& filename);
    explicit KaDetectTarvoFiles(char const* filename);
    KaDetectTarvoFiles(KaDetectTarvoFiles const& other) = default;
    KaDetectTarvoFiles& operator=(KaDetectTarvoFiles const& other) = default;
    virtual ~KaDetectTarvoFiles();

    // The kind whose extension equals the file's in lower case; FT_NONE when none does.
    eTarvoFiletype DetectByExtension() const;
    // The kind by extension when the file's first token has the form that kind
    // begins with; FT_NONE for an unknown extension, a file that cannot be read,
    // an empty file or a first token that does not fit. Only the first token is
    // read; a tokenizer error on it (an unterminated string, an invalid number) is
    // thrown on as its KaParserStatus.
    eTarvoFiletype IsValidTarvoFile() const;

    String const& GetFilename() const { return m_filename; }

private:
    String m_filename;
};
