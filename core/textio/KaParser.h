#pragma once

#include "TarvisExport.h"
#include "foundation/String.h"

#include <clocale>
#include <cstdint>
#include <iosfwd>

// Token types; the values are stored and compared by the readers. The fixed
// underlying type keeps any stored code a valid value of the enumeration.
enum eKaTokentype : int {
    TokenOther = 0,      // a word with neither letter nor digit, such as "-"
    TokenInt = 1,        // an integer
    TokenFloat = 2,      // a floating-point number
    TokenNumber = 3,     // only asked for: an integer or a floating-point number
    TokenKeyword = 4,    // a word that begins with a letter
    TokenString = 5,     // a quoted string, without its quotes
    TokenBeginBlock = 6, // "{"
    TokenEndBlock = 7,   // "}"
    TokenEOF = 8         // the end of the input
};

enum eKaParserStatus : int {
    ParserStatusOK = 0,
    ParserStatusEOF = 1,
    ParserErrorStream = 2,
    ParserErrorUnterminatedString = 3,
    ParserErrorInvalidNumber = 4,
    ParserErrorNotSpecifiedToken = 5
};

TARVIS_API char const* GetKaParserStatusText(eKaParserStatus status);

// Where and why the parser stopped; thrown by value as the parser's exception.
class TARVIS_API KaParserStatus {
public:
    KaParserStatus() = default;
    KaParserStatus(KaParserStatus const&) = default;
    KaParserStatus& operator=(KaParserStatus const&) = default;
    virtual ~KaParserStatus();

    int GetLine() const { return m_line; }
    int GetTokenNumber() const { return m_token; }
    eKaParserStatus GetStatus() const { return m_status; }
    void SetStatus(eKaParserStatus status) { m_status = status; }
    void SetLine(int line) { m_line = line; }
    char const* GetText() const { return GetKaParserStatusText(m_status); }

private:
    friend class KaParser;

    std::int32_t m_line = 0;  // lines read so far: the first line is 1
    std::int32_t m_token = 0; // tokens produced so far in the whole input
    eKaParserStatus m_status = ParserStatusOK;
};

class TARVIS_API KaParserToken {
public:
    eKaTokentype GetType() const { return m_type; }
    // The value of a number token as double; 0.0 for every other type. An integer
    // too large for 32 bits keeps its true value here, while GetInt wraps around.
    double GetNumber() const;
    int GetInt() const { return m_int; }
    double GetFloat() const { return m_float; }
    // Points into the parser's line buffer: valid until the next line is read.
    char* GetText() const { return m_text; }

private:
    friend class KaParser;

    eKaTokentype m_type = TokenOther;
    std::int32_t m_int = 0;
    double m_float = 0.0;
    bool m_wrapped = false; // an integer beyond 32 bits: m_float holds its value
    char* m_text = nullptr;
};

// Character classes of the tokenizer, one flag word per byte value.
class TARVIS_API KaChLookup {
public:
    enum Flags { ChSeparator = 1, ChComment = 2, ChQuote = 4, ChBeginBlock = 8, ChEndBlock = 16 };

    KaChLookup();

    int GetFlags(unsigned char c) const { return m_flags[c]; }
    void SetFlags(unsigned char c, int flags) { m_flags[c] |= flags; }
    void SetFlags(char const* chars, int flags);
    void ClearFlags(unsigned char c, int flags) { m_flags[c] &= ~flags; }
    void ClearFlags(char const* chars, int flags);

private:
    std::int32_t m_flags[256];
};

// Holds the process-wide C locale at a given setting for its lifetime.
class TARVIS_API KaCLocale {
public:
    explicit KaCLocale(int category = LC_ALL, char const* locale = "C");
    KaCLocale(KaCLocale const& other) = default;
    KaCLocale& operator=(KaCLocale const& other) = default;
    ~KaCLocale();

private:
    String m_saved;
};

// Cuts a keyword text, read line by line from a stream, into typed tokens.
// Errors are thrown as KaParserStatus values.
class TARVIS_API KaParser {
public:
    static constexpr int LineSize = 8512; // a line holds at most LineSize - 1 characters

    KaParser();
    KaParser(KaParser const& other);
    KaParser& operator=(KaParser const& other);
    ~KaParser();

    KaParserToken& GetToken() { return m_token; }
    // The current token, which must be of the given type (TokenNumber: integer or
    // floating); otherwise the status is thrown.
    KaParserToken& GetToken(eKaTokentype type);
    int GetTokenInt();
    double GetTokenFloat();
    double GetTokenNumber();
    char* GetTokenString();

    KaParserStatus& GetStatus() { return m_status; }

    // While set, the next advance keeps the current token instead of reading on.
    bool SkipNextParse(bool skip) { return m_skipNext = skip; }
    bool IsSkipNextParse() const { return m_skipNext; }

    void SetDecPoint(char c);
    void SetCommentChar(unsigned char c, bool on);
    void SetTokenseperator(unsigned char c, bool on);
    // Drops the rest of the current line.
    void SkipLine();

protected:
    friend class KaReader;
    friend class KaStreamParser;
    friend class KaReaderObject;
    friend struct KaParserAccess; // tests and benchmarks

    // Makes the next token of the stream current.
    std::istream& ParseForToken(std::istream& in);

private:
    bool Tokenize();
    void SetToken(eKaTokentype type, char* text);
    void SetIntToken();
    void SetFloatToken();
    void SetStringToken();
    [[noreturn]] void Throw(eKaParserStatus status);
    void DropCarriageReturn(std::istream& in);

    char m_line[LineSize];
    char* m_tokenStart = nullptr;
    char* m_readPos = nullptr;  // null: the current line is used up
    char* m_tokenEnd = nullptr; // the NUL after the current word
    char m_pending = 0;         // delimiter overwritten by the NUL ending the last word
    char m_decPoint = '.';
    KaChLookup m_chars;
    KaParserStatus m_status;
    KaParserToken m_token;
    bool m_skipNext = false;
    KaCLocale m_locale;
};
