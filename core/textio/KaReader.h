#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/Link.h"
#include "foundation/String.h"
#include "textio/KaFormatTable.h"
#include "textio/KaParser.h"

#include <array>
#include <fstream>
#include <iosfwd>
#include <memory>

class KaReader;

// The reader's stream and parser as a pair, with the advancing extractors that
// handlers use to consume the values of a block: each takes the current token
// with a typed request and then moves on to the next token.
class TARVIS_API KaStreamParser {
public:
    static constexpr int BufferSize = 8512;

    KaStreamParser(std::istream& in, KaParser& parser);

    int GetInt();
    double GetNumber();
    // The text of a quoted string, copied into this object's own buffer (the
    // parser's line buffer is overwritten by the next line).
    char const* GetText();

    KaStreamParser& operator>>(int& value);
    KaStreamParser& operator>>(double& value);
    KaStreamParser& operator>>(String& value);

    KaParser& GetParser() { return *m_parser; }
    std::istream& GetStream() { return *m_in; }
    // Moves to the next token, or only clears the parser's skip-next flag when it is set.
    void Advance();

private:
    std::istream* m_in;
    KaParser* m_parser;
    std::array<char, BufferSize> m_text; // filled by GetText before it is read
};

// One keyword a scope accepts: either a plain value stored straight into the
// caller's variable, or a handler called for a compound record.
class TARVIS_API KaReaderObject : public KaListnode {
public:
    static constexpr int KeywordSize = 30;

    KaReaderObject();
    KaReaderObject(char const* keyword, Link const& handler, Link const& endHandler);
    KaReaderObject(char const* keyword, bool* target);
    KaReaderObject(char const* keyword, int* target);
    KaReaderObject(char const* keyword, double* target);
    KaReaderObject(char const* keyword, String* target);
    KaReaderObject(char const* keyword, Link const& handler);
    // The catch-all object of a scope: called for every token that is not a keyword.
    explicit KaReaderObject(Link const& handler);
    KaReaderObject(KaReaderObject const& other);
    KaReaderObject& operator=(KaReaderObject const& other);
    ~KaReaderObject() override;

    int IsKeyword(char const* keyword) const;
    char const* GetKeyword() const { return m_keyword; }
    eKaTokentype GetKind() const { return m_kind; }
    KaReader* GetReader() const { return m_reader; }
    KaParser& GetParser();

    // Registers into the owning reader's current scope.
    KaReaderObject* RegisterObject(KaReaderObject& object);
    // Processes the rest of the current block, starting with the token current now.
    int DoProcess();
    KaStreamParser GetStreamParser();

    KaReaderObject* Next() const { return static_cast<KaReaderObject*>(KaListnode::Next()); }
    KaReaderObject* Previous() const { return static_cast<KaReaderObject*>(KaListnode::Previous()); }

protected:
    int KeywordFound();

private:
    friend class KaReader;

    void SetKeyword(char const* keyword);

    KaReader* m_reader = nullptr;
    char m_keyword[KeywordSize] = {};
    void* m_target = nullptr;
    eKaTokentype m_kind = TokenOther;
    bool m_boolTarget = false;
    Link m_handler;
    Link m_endHandler;
};

// One nesting scope of a reader: the objects registered for one block.
class TARVIS_API KaReaderInstance : public KaListnode {
public:
    explicit KaReaderInstance(KaReader* reader = nullptr);
    KaReaderInstance(KaReaderInstance const& other);
    KaReaderInstance& operator=(KaReaderInstance const& other);
    ~KaReaderInstance() override;

    KaReaderObject* Find(char const* keyword) const;
    KaReaderObject* FindCatchAll() const;

    TKaListHeader<KaReaderObject> m_objects;
    KaReader* m_reader = nullptr;

    KaReaderInstance* Next() const { return static_cast<KaReaderInstance*>(KaListnode::Next()); }
    KaReaderInstance* Previous() const { return static_cast<KaReaderInstance*>(KaListnode::Previous()); }
};

// A parser status recorded as an element of a reader's error list.
class TARVIS_API KaReaderError : public KaParserStatus, public KaListnode {
public:
    KaReaderError() = default;
    explicit KaReaderError(KaParserStatus const& status) : KaParserStatus(status) {}
    KaReaderError(KaReaderError const&) = default;
    KaReaderError& operator=(KaReaderError const&) = default;
    ~KaReaderError() override = default;

    KaReaderError* Next() const { return static_cast<KaReaderError*>(KaListnode::Next()); }
    KaReaderError* Previous() const { return static_cast<KaReaderError*>(KaListnode::Previous()); }
};

class TARVIS_API KaReaderErrorList : public TKaListHeader<KaReaderError> {
public:
    KaReaderErrorList() = default;
    KaReaderErrorList(KaReaderErrorList const&) = default;
    using TKaListHeader<KaReaderError>::operator=;
    KaReaderErrorList& operator=(KaReaderErrorList const& other) {
        TKaListHeader<KaReaderError>::operator=(other);
        return *this;
    }
    ~KaReaderErrorList() override;
};

// Reads one keyword file into the objects registered for its keywords.
class TARVIS_API KaReader {
public:
    explicit KaReader(String const& filename);
    // Reads from a stream the caller keeps alive; name is used in messages only.
    KaReader(std::istream& in, String const& name);
    KaReader(KaReader const&) = delete;
    KaReader& operator=(KaReader const&) = delete;
    virtual int UnknownTokenFound();
    virtual int ParserError();
    virtual ~KaReader();

    int SetFilename(String const& filename);
    String const& GetFilename() const { return m_filename; }

    KaReaderObject* RegisterObject(KaReaderObject& object);
    int DoProcess(bool continueAfterBlockEnd);
    // Called with an opening brace current: skips to its matching closing brace.
    void SkipCurrentBlock();
    void SkipUnknownToken(bool skip) { m_skipUnknown = skip; }
    void SetUnknownTokenHdl(Link const& handler) { m_unknownTokenHdl = handler; }
    void SetParserErrorHdl(Link const& handler) { m_parserErrorHdl = handler; }

    KaReaderErrorList const* GetReaderErrorList() const { return &m_errors; }
    int GetReadErrorCount() const { return m_errors.Count(); }
    KaParser& GetParser() { return m_parser; }
    KaStreamParser GetStreamParser() { return KaStreamParser(*m_in, m_parser); }
    KaReaderObject* GetLastObject() const { return m_lastObject; }

private:
    void NewInstance();
    void ReleaseInstance();
    void Advance();
    void AddError(KaParserStatus const& status);
    void AddEndInsideBlockError();

    std::unique_ptr<std::ifstream> m_file;
    std::istream* m_in = nullptr;
    KaParser m_parser;
    String m_filename;
    bool m_skipUnknown = true;
    TKaListHeader<KaReaderInstance> m_instances;
    KaReaderInstance* m_current = nullptr;
    KaReaderObject* m_lastObject = nullptr;
    Link m_unknownTokenHdl;
    Link m_parserErrorHdl;
    KaReaderErrorList m_errors;
    // The type error a handler left when it met the end of the input, if any.
    KaReaderError const* m_typeErrorAtEnd = nullptr;
};
