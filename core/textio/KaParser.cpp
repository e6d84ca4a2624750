#include "textio/KaParser.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <locale.h>

namespace {

// Braces and the end of input carry this text.
char g_blank[] = " ";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr int AnyClass = KaChLookup::ChSeparator | KaChLookup::ChComment | KaChLookup::ChQuote |
                         KaChLookup::ChBeginBlock | KaChLookup::ChEndBlock;

// atol in the "C" locale: optional sign, decimal digits up to the first other
// character; the value wraps around in 32 bits instead of overflowing. (long has
// 64 bits here, so atol itself would not give the 32-bit integer of a token.)
std::int32_t ToInt(char const* s) {
    bool negative = false;
    if (*s == '+' || *s == '-')
        negative = *s++ == '-';
    std::uint32_t value = 0;
    for (; IsDigit(*s); ++s)
        value = value * 10u + static_cast<std::uint32_t>(*s - '0');
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

// atof in the "C" locale, whatever the process locale: the longest prefix that
// forms a number ("1.2.3" gives 1.2, "1e" gives 1), 0.0 when there is none.
double ToDouble(char const* s, char const* last) {
    char const* start = s;
    if (*start == '+' && start[1] != '-' && start[1] != '+')
        ++start;
    double value = 0.0;
    auto const [end, ec] = std::from_chars(start, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Overflow and underflow as strtod reports them.
        static locale_t const c = newlocale(LC_ALL_MASK, "C", nullptr);
        return strtod_l(s, nullptr, c);
    }
    return ec == std::errc() ? value : 0.0;
}

} // namespace

char const* GetKaParserStatusText(eKaParserStatus status) {
    switch (status) {
    case ParserStatusOK:
        return "ParserStatusOK";
    case ParserStatusEOF:
        return "ParserStatusEOF";
    case ParserErrorStream:
        return "ParserErrorStream";
    case ParserErrorUnterminatedString:
        return "ParserErrorUnterminatedString";
    case ParserErrorInvalidNumber:
        return "ParserErrorInvalidNumber";
    case ParserErrorNotSpecifiedToken:
        return "ParserErrorNotSpecifiedToken";
    }
    return "ParserStatus??";
}

KaParserStatus::~KaParserStatus() = default;

double KaParserToken::GetNumber() const {
    if (m_type == TokenInt)
        return m_wrapped ? m_float : static_cast<double>(m_int);
    if (m_type == TokenFloat)
        return m_float;
    return 0.0;
}

KaChLookup::KaChLookup() {
    std::memset(m_flags, 0, sizeof m_flags);
}

void KaChLookup::SetFlags(char const* chars, int flags) {
    for (; chars && *chars; ++chars)
        SetFlags(static_cast<unsigned char>(*chars), flags);
}

void KaChLookup::ClearFlags(char const* chars, int flags) {
    for (; chars && *chars; ++chars)
        ClearFlags(static_cast<unsigned char>(*chars), flags);
}

KaCLocale::KaCLocale(int category, char const* locale) {
    char const* current = std::setlocale(LC_ALL, nullptr);
    m_saved = current ? current : "";
    std::setlocale(category, locale);
}

KaCLocale::~KaCLocale() {
    if (!m_saved.empty())
        std::setlocale(LC_ALL, m_saved.chars());
}

KaParser::KaParser() {
    m_line[0] = '\0';
    m_chars.SetFlags(" \t\n", KaChLookup::ChSeparator);
    m_chars.SetFlags(";!", KaChLookup::ChComment);
    m_chars.SetFlags('"', KaChLookup::ChQuote);
    m_chars.SetFlags('{', KaChLookup::ChBeginBlock);
    m_chars.SetFlags('}', KaChLookup::ChEndBlock);
}

KaParser::KaParser(KaParser const& other) : m_locale(other.m_locale) {
    *this = other;
}

KaParser& KaParser::operator=(KaParser const& other) {
    if (this == &other)
        return *this;
    // Pointers into the other's line buffer move to the same places in ours.
    auto rebase = [&](char* p) -> char* {
        if (p >= other.m_line && p < other.m_line + LineSize)
            return m_line + (p - other.m_line);
        return p;
    };
    std::memcpy(m_line, other.m_line, LineSize);
    m_tokenStart = rebase(other.m_tokenStart);
    m_tokenEnd = rebase(other.m_tokenEnd);
    m_readPos = rebase(other.m_readPos);
    m_pending = other.m_pending;
    m_decPoint = other.m_decPoint;
    m_chars = other.m_chars;
    m_status = other.m_status;
    m_token = other.m_token;
    m_token.m_text = rebase(other.m_token.m_text);
    m_skipNext = other.m_skipNext;
    m_locale = other.m_locale;
    return *this;
}

KaParser::~KaParser() = default;

void KaParser::Throw(eKaParserStatus status) {
    m_status.m_status = status;
    throw m_status;
}

KaParserToken& KaParser::GetToken(eKaTokentype type) {
    if (type == TokenNumber) {
        if (m_token.m_type == TokenInt || m_token.m_type == TokenFloat)
            return m_token;
        Throw(ParserErrorNotSpecifiedToken);
    }
    if (m_token.m_type == TokenEOF)
        throw m_status;
    if (m_token.m_type != type)
        Throw(ParserErrorNotSpecifiedToken);
    return m_token;
}

int KaParser::GetTokenInt() {
    return GetToken(TokenInt).m_int;
}

double KaParser::GetTokenFloat() {
    return GetToken(TokenFloat).m_float;
}

double KaParser::GetTokenNumber() {
    return GetToken(TokenNumber).GetNumber();
}

char* KaParser::GetTokenString() {
    return GetToken(TokenString).m_text;
}

void KaParser::SetDecPoint(char c) {
    m_chars.ClearFlags(static_cast<unsigned char>(c), KaChLookup::ChSeparator | KaChLookup::ChComment);
    m_decPoint = c;
}

void KaParser::SetCommentChar(unsigned char c, bool on) {
    if (on) {
        m_chars.ClearFlags(c, KaChLookup::ChSeparator);
        m_chars.SetFlags(c, KaChLookup::ChComment);
    } else {
        m_chars.ClearFlags(c, KaChLookup::ChComment);
    }
}

void KaParser::SetTokenseperator(unsigned char c, bool on) {
    if (on) {
        m_chars.ClearFlags(c, KaChLookup::ChComment);
        m_chars.SetFlags(c, KaChLookup::ChSeparator);
    } else {
        m_chars.ClearFlags(c, KaChLookup::ChSeparator);
    }
}

void KaParser::SkipLine() {
    m_readPos = nullptr;
    m_pending = 0;
}

void KaParser::SetToken(eKaTokentype type, char* text) {
    m_token.m_type = type;
    m_token.m_text = text;
}

void KaParser::SetIntToken() {
    SetToken(TokenInt, m_tokenStart);
    m_token.m_int = ToInt(m_tokenStart);
    // A coordinate such as 5000000000 is written without a decimal point; as a
    // number it must not come back wrapped around.
    m_token.m_wrapped = false;
    if (m_tokenEnd - m_tokenStart > 9) {
        double const value = ToDouble(m_tokenStart, m_tokenEnd);
        if (value != static_cast<double>(m_token.m_int)) {
            m_token.m_float = value;
            m_token.m_wrapped = true;
        }
    }
}

void KaParser::SetFloatToken() {
    SetToken(TokenFloat, m_tokenStart);
    m_token.m_float = ToDouble(m_tokenStart, m_tokenEnd);
}

void KaParser::SetStringToken() {
    SetToken(TokenString, m_tokenStart);
}

// Lines written on Windows end with a carriage return before the line feed; it
// belongs to the line end, not to the last word, and does not count towards the
// length of the line.
void KaParser::DropCarriageReturn(std::istream& in) {
    std::ios_base::iostate const state = in.rdstate();
    if (!(state & (std::ios_base::failbit | std::ios_base::eofbit))) {
        // The line feed was found and counts in gcount.
        std::streamsize const n = in.gcount() - 1;
        if (n > 0 && m_line[n - 1] == '\r')
            m_line[n - 1] = '\0';
    } else if (state == std::ios_base::failbit && in.gcount() == LineSize - 1) {
        // The buffer filled up just before a carriage return and line feed: the line fits.
        std::streambuf* const buf = in.rdbuf();
        if (buf && buf->sgetc() == '\r' && buf->snextc() == '\n') {
            buf->sbumpc();
            in.clear();
        }
    }
}

std::istream& KaParser::ParseForToken(std::istream& in) {
    if (Tokenize())
        return in;
    for (;;) {
        if (!m_readPos) {
            if (in.fail()) {
                if (in.eof()) {
                    SetToken(TokenEOF, g_blank);
                    m_status.m_status = ParserStatusEOF;
                } else {
                    Throw(ParserErrorStream);
                }
            } else {
                in.getline(m_line, LineSize);
                ++m_status.m_line;
                DropCarriageReturn(in);
                m_pending = 0;
                m_tokenStart = m_readPos = m_line;
            }
        }
        if (Tokenize())
            return in;
    }
}

bool KaParser::Tokenize() {
    if (m_status.m_status == ParserStatusEOF)
        return true;
    if (!m_readPos)
        return false;
    if (m_pending) {
        *m_readPos = m_pending;
        m_pending = 0;
    }

    auto flags = [this](char c) { return m_chars.GetFlags(static_cast<unsigned char>(c)); };
    while (*m_readPos && (flags(*m_readPos) & KaChLookup::ChSeparator))
        ++m_readPos;

    int const f = flags(*m_readPos);
    if (f & KaChLookup::ChComment) {
        m_readPos = nullptr;
        return false;
    }
    if (*m_readPos == '\0') {
        m_tokenStart = m_readPos = nullptr;
        return false;
    }
    m_tokenStart = m_readPos;

    if (f & KaChLookup::ChQuote) {
        char* const text = m_readPos + 1;
        char* end = text;
        while (*end && !(flags(*end) & KaChLookup::ChQuote))
            ++end;
        m_tokenStart = text;
        if (*end) {
            *end = '\0';
            m_readPos = end + 1;
            SetStringToken();
            ++m_status.m_token;
            return true;
        }
        m_readPos = nullptr;
        SetStringToken();
        Throw(ParserErrorUnterminatedString);
    }

    if (f & (KaChLookup::ChBeginBlock | KaChLookup::ChEndBlock)) {
        SetToken((f & KaChLookup::ChBeginBlock) ? TokenBeginBlock : TokenEndBlock, g_blank);
        ++m_readPos;
        ++m_status.m_token;
        return true;
    }

    int digits = 0;
    int letters = 0;
    bool floating = false;
    char const decPoint = m_decPoint;
    char* p = m_readPos;
    for (; *p && !(flags(*p) & AnyClass); ++p) {
        char c = *p;
        if (c == decPoint) {
            *p = c = '.';
            floating = true;
        }
        if (IsDigit(c)) {
            ++digits;
        } else if (IsLetter(c)) {
            // An exponent mark after a digit is not counted as a letter.
            if (digits > 0 && (c == 'e' || c == 'E'))
                floating = true;
            else
                ++letters;
        }
    }
    m_tokenEnd = p;
    if (*p) {
        if (flags(*p) & KaChLookup::ChSeparator) {
            *p = '\0';
            m_readPos = p + 1;
        } else {
            m_pending = *p;
            *p = '\0';
            m_readPos = p;
        }
    } else {
        m_readPos = p;
    }

    if (letters > 0) {
        if (!IsLetter(*m_tokenStart))
            Throw(ParserErrorInvalidNumber);
        SetToken(TokenKeyword, m_tokenStart);
    } else if (digits > 0) {
        if (floating)
            SetFloatToken();
        else
            SetIntToken();
    } else {
        SetToken(TokenOther, m_tokenStart);
    }
    ++m_status.m_token;
    return true;
}
