#include "model/KaDetectTarvoFiles.h"

#include "textio/KaFileName.h"
#include "textio/KaParser.h"
#include "textio/KaReader.h"

#include <fstream>

namespace {

constexpr char const* kExtensions[FT_NONE] = {"pro", "coo", "aor", "sip", "imo",
                                              "aob", "log", "mlg", "res", "dres"};

// The token type a file of the kind begins with; TokenOther for kinds never accepted.
eKaTokentype FirstTokenOf(eTarvoFiletype type) {
    switch (type) {
    case FT_PRO:
        return TokenKeyword;
    case FT_COO:
    case FT_AOR:
    case FT_IMO:
        return TokenInt;
    case FT_SIP:
    case FT_DRES:
        return TokenBeginBlock;
    case FT_RES:
        return TokenString;
    default:
        return TokenOther;
    }
}

} // namespace

char const* GetKaExtension(eTarvoFiletype type) {
    if (type < FT_PRO || type >= FT_NONE)
        return "";
    return kExtensions[type];
}

KaDetectTarvoFiles::KaDetectTarvoFiles(String const& filename) : m_filename(filename) {}

KaDetectTarvoFiles::KaDetectTarvoFiles(char const* filename) : m_filename(filename) {}

KaDetectTarvoFiles::~KaDetectTarvoFiles() = default;

eTarvoFiletype KaDetectTarvoFiles::DetectByExtension() const {
    String extension = KaGetExtension(m_filename);
    extension.downcase();
    for (int i = FT_PRO; i < FT_NONE; ++i)
        if (extension == kExtensions[i])
            return static_cast<eTarvoFiletype>(i);
    return FT_NONE;
}

eTarvoFiletype KaDetectTarvoFiles::IsValidTarvoFile() const {
    eTarvoFiletype const type = DetectByExtension();
    eKaTokentype const expected = FirstTokenOf(type);
    if (type == FT_NONE)
        return FT_NONE;
    std::ifstream file(m_filename.chars());
    if (!file)
        return FT_NONE;
    KaParser parser;
    try {
        KaStreamParser(file, parser).Advance();
    } catch (KaParserStatus const& status) {
        // A file that opens but cannot be read (a folder, say) is unreadable, not
        // malformed.
        if (status.GetStatus() == ParserErrorStream)
            return FT_NONE;
        throw;
    }
    eKaTokentype const found = parser.GetToken().GetType();
    return expected != TokenOther && found == expected ? type : FT_NONE;
}
