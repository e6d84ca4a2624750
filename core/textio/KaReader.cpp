#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <locale>
#include <ostream>

namespace {

constexpr char const* CatchAllKeyword = "_NOT_DEFINED";

eKaTokentype CurrentType(KaParser& parser) {
    return parser.GetToken().GetType();
}

} // namespace

// ---------------------------------------------------------------------------
// KaStreamParser

KaStreamParser::KaStreamParser(std::istream& in, KaParser& parser) : m_in(&in), m_parser(&parser) {}

void KaStreamParser::Advance() {
    if (m_parser->IsSkipNextParse())
        m_parser->SkipNextParse(false);
    else
        m_parser->ParseForToken(*m_in);
}

int KaStreamParser::GetInt() {
    int const value = m_parser->GetTokenInt();
    Advance();
    return value;
}

double KaStreamParser::GetNumber() {
    double const value = m_parser->GetTokenNumber();
    Advance();
    return value;
}

char const* KaStreamParser::GetText() {
    char const* text = m_parser->GetTokenString();
    size_t const n = std::min(std::strlen(text), m_text.size() - 1);
    std::memcpy(m_text.data(), text, n);
    m_text[n] = '\0';
    Advance();
    return m_text.data();
}

KaStreamParser& KaStreamParser::operator>>(int& value) {
    value = GetInt();
    return *this;
}

KaStreamParser& KaStreamParser::operator>>(double& value) {
    value = GetNumber();
    return *this;
}

KaStreamParser& KaStreamParser::operator>>(String& value) {
    value = GetText();
    return *this;
}

// ---------------------------------------------------------------------------
// KaReaderObject

KaReaderObject::KaReaderObject() = default;

KaReaderObject::KaReaderObject(char const* keyword, Link const& handler, Link const& endHandler)
    : m_kind(TokenOther), m_handler(handler), m_endHandler(endHandler) {
    SetKeyword(keyword);
}

KaReaderObject::KaReaderObject(char const* keyword, bool* target)
    : m_target(target), m_kind(TokenInt), m_boolTarget(true) {
    SetKeyword(keyword);
}

KaReaderObject::KaReaderObject(char const* keyword, int* target) : m_target(target), m_kind(TokenInt) {
    SetKeyword(keyword);
}

KaReaderObject::KaReaderObject(char const* keyword, double* target) : m_target(target), m_kind(TokenNumber) {
    SetKeyword(keyword);
}

KaReaderObject::KaReaderObject(char const* keyword, String* target) : m_target(target), m_kind(TokenString) {
    SetKeyword(keyword);
}

KaReaderObject::KaReaderObject(char const* keyword, Link const& handler)
    : m_kind(TokenKeyword), m_handler(handler) {
    SetKeyword(keyword);
}

KaReaderObject::KaReaderObject(Link const& handler) : m_kind(TokenKeyword), m_handler(handler) {
    SetKeyword(CatchAllKeyword);
}

KaReaderObject::KaReaderObject(KaReaderObject const& other)
    : KaListnode(other), m_reader(other.m_reader), m_target(other.m_target), m_kind(other.m_kind),
      m_boolTarget(other.m_boolTarget), m_handler(other.m_handler), m_endHandler(other.m_endHandler) {
    std::memcpy(m_keyword, other.m_keyword, sizeof m_keyword);
}

KaReaderObject& KaReaderObject::operator=(KaReaderObject const& other) {
    if (this != &other) {
        KaListnode::operator=(other);
        m_reader = other.m_reader;
        std::memcpy(m_keyword, other.m_keyword, sizeof m_keyword);
        m_target = other.m_target;
        m_kind = other.m_kind;
        m_boolTarget = other.m_boolTarget;
        m_handler = other.m_handler;
        m_endHandler = other.m_endHandler;
    }
    return *this;
}

KaReaderObject::~KaReaderObject() {
    if (m_endHandler.IsSet())
        m_endHandler.Call(this);
}

void KaReaderObject::SetKeyword(char const* keyword) {
    std::memset(m_keyword, 0, sizeof m_keyword);
    if (keyword)
        std::strncpy(m_keyword, keyword, KeywordSize - 1);
}

int KaReaderObject::IsKeyword(char const* keyword) const {
    return keyword && std::strcmp(m_keyword, keyword) == 0 ? 1 : 0;
}

KaParser& KaReaderObject::GetParser() {
    return m_reader->GetParser();
}

KaReaderObject* KaReaderObject::RegisterObject(KaReaderObject& object) {
    return m_reader ? m_reader->RegisterObject(object) : nullptr;
}

int KaReaderObject::DoProcess() {
    if (!m_reader)
        return 0;
    m_reader->GetParser().SkipNextParse(true);
    return m_reader->DoProcess(false);
}

KaStreamParser KaReaderObject::GetStreamParser() {
    return m_reader->GetStreamParser();
}

int KaReaderObject::KeywordFound() {
    KaParser& parser = m_reader->GetParser();
    switch (m_kind) {
    case TokenInt:
        if (m_target) {
            int const value = parser.GetTokenInt();
            if (m_boolTarget)
                *static_cast<bool*>(m_target) = value != 0;
            else
                *static_cast<int*>(m_target) = value;
        }
        break;
    case TokenNumber:
        if (m_target)
            *static_cast<double*>(m_target) = parser.GetTokenNumber();
        break;
    case TokenString:
        if (m_target)
            *static_cast<String*>(m_target) = parser.GetTokenString();
        break;
    case TokenKeyword:
    case TokenOther:
        m_handler.Call(this);
        break;
    default:
        break;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// KaReaderInstance

KaReaderInstance::KaReaderInstance(KaReader* reader) : m_reader(reader) {}

KaReaderInstance::KaReaderInstance(KaReaderInstance const& other)
    : KaListnode(other), m_objects(other.m_objects), m_reader(other.m_reader) {}

KaReaderInstance& KaReaderInstance::operator=(KaReaderInstance const& other) {
    if (this != &other) {
        KaListnode::operator=(other);
        m_objects = other.m_objects;
        m_reader = other.m_reader;
    }
    return *this;
}

KaReaderInstance::~KaReaderInstance() = default;

KaReaderObject* KaReaderInstance::Find(char const* keyword) const {
    for (KaReaderObject* object = m_objects.First(); object; object = object->Next())
        if (object->IsKeyword(keyword))
            return object;
    return nullptr;
}

KaReaderObject* KaReaderInstance::FindCatchAll() const {
    return Find(CatchAllKeyword);
}

KaReaderErrorList::~KaReaderErrorList() = default;

// ---------------------------------------------------------------------------
// KaReader

KaReader::KaReader(String const& filename) {
    SetFilename(filename);
    NewInstance();
}

KaReader::KaReader(std::istream& in, String const& name) : m_in(&in), m_filename(name) {
    m_in->imbue(std::locale::classic());
    NewInstance();
}

KaReader::~KaReader() {
    m_errors.Destroy();
    m_current = nullptr;
    m_instances.Destroy();
}

int KaReader::SetFilename(String const& filename) {
    m_filename = filename;
    if (m_file && m_file->is_open()) {
        m_file->close();
    }
    m_file = std::make_unique<std::ifstream>();
    m_file->open(m_filename.chars(), std::ios::in);
    m_file->imbue(std::locale::classic());
    m_in = m_file.get();
    return m_in->good() ? 1 : 0;
}

int KaReader::UnknownTokenFound() {
    return m_unknownTokenHdl.IsSet() ? static_cast<int>(m_unknownTokenHdl.Call(this)) : 0;
}

int KaReader::ParserError() {
    return m_parserErrorHdl.IsSet() ? static_cast<int>(m_parserErrorHdl.Call(this)) : 0;
}

KaReaderObject* KaReader::RegisterObject(KaReaderObject& object) {
    auto* copy = new KaReaderObject(object);
    copy->Init();
    copy->m_reader = this;
    m_current->m_objects.Add(copy);
    return copy;
}

void KaReader::NewInstance() {
    auto* instance = new KaReaderInstance(this);
    m_instances.Add(instance);
    m_current = instance;
}

void KaReader::ReleaseInstance() {
    if (m_instances.Count() <= 1)
        return;
    delete m_instances.Subtract(m_current);
    m_current = m_instances.Last();
}

void KaReader::Advance() {
    if (m_parser.IsSkipNextParse())
        m_parser.SkipNextParse(false);
    else
        m_parser.ParseForToken(*m_in);
}

void KaReader::AddError(KaParserStatus const& status) {
    m_errors.Add(new KaReaderError(status));
}

// The input ended while a braced entry was still open: one entry says so, however
// deeply the entry was nested.
void KaReader::AddEndInsideBlockError() {
    KaReaderError const* last = m_errors.Last();
    if (last && last->GetStatus() == ParserStatusEOF)
        return;
    // The parser counts the read that met the end as a line of its own; the entry
    // names the last line of the input.
    auto* entry = new KaReaderError(m_parser.GetStatus());
    entry->SetStatus(ParserStatusEOF);
    entry->SetLine(std::max(0, entry->GetLine() - 1));
    m_errors.Add(entry);
}

void KaReader::SkipCurrentBlock() {
    // Listed with the code "OK": the parser may still hold the code of an earlier
    // failure that its handler dealt with, which would make the skipped block look
    // like a type error.
    KaParserStatus skipped = m_parser.GetStatus();
    skipped.SetStatus(ParserStatusOK);
    AddError(skipped);
    int depth = 1;
    for (;;) {
        Advance();
        eKaTokentype const type = CurrentType(m_parser);
        if (type == TokenBeginBlock) {
            ++depth;
        } else if (type == TokenEndBlock) {
            if (depth == 1)
                return;
            --depth;
        } else if (type == TokenEOF) {
            return;
        }
    }
}

int KaReader::DoProcess(bool continueAfterBlockEnd) {
    eKaParserStatus const start = m_parser.GetStatus().GetStatus();
    bool goingOn = start != ParserStatusEOF && start != ParserErrorStream;
    bool reuse = false;

    while (goingOn) {
        bool insideEntry = false; // a scope was pushed for a braced entry
        try {
            if (reuse)
                reuse = false;
            else
                Advance();

            KaParserToken& token = m_parser.GetToken();
            switch (token.GetType()) {
            case TokenKeyword: {
                KaReaderObject* object = m_current->Find(token.GetText());
                m_lastObject = object;
                if (object) {
                    Advance();
                    if (CurrentType(m_parser) == TokenBeginBlock) {
                        Advance();
                        NewInstance();
                        insideEntry = true;
                        object->KeywordFound();
                        insideEntry = false;
                        ReleaseInstance();
                        if (CurrentType(m_parser) == TokenEOF) {
                            // The handler met the end of the input instead of its closing brace.
                            AddEndInsideBlockError();
                            goingOn = false;
                            break;
                        }
                        Advance();
                        eKaTokentype const next = CurrentType(m_parser);
                        if (next == TokenKeyword)
                            reuse = true;
                        else if (next == TokenEndBlock)
                            goingOn = continueAfterBlockEnd;
                    } else {
                        object->KeywordFound();
                    }
                } else if (m_skipUnknown) {
                    Advance();
                    if (CurrentType(m_parser) == TokenBeginBlock)
                        SkipCurrentBlock();
                } else {
                    goingOn = UnknownTokenFound() != 0;
                }
                break;
            }
            case TokenEndBlock:
                goingOn = continueAfterBlockEnd;
                break;
            case TokenEOF:
                // Nothing is left for a handler; one that swallows the end of the
                // input would otherwise be called for ever.
                goingOn = false;
                break;
            default:
                if (KaReaderObject* catchAll = m_current->FindCatchAll()) {
                    catchAll->KeywordFound();
                } else {
                    KaParserStatus status = m_parser.GetStatus();
                    status.SetStatus(ParserErrorNotSpecifiedToken);
                    throw status;
                }
                break;
            }
        } catch (KaParserStatus const& status) {
            if (insideEntry)
                ReleaseInstance();
            bool const atEnd = CurrentType(m_parser) == TokenEOF;
            if (insideEntry && atEnd) {
                AddEndInsideBlockError();
                goingOn = false;
            } else if (status.GetStatus() == ParserStatusEOF) {
                goingOn = false;
            } else {
                AddError(status);
                if (atEnd && status.GetStatus() == ParserErrorNotSpecifiedToken)
                    m_typeErrorAtEnd = m_errors.Last();
                goingOn = ParserError() != 0;
                // Nothing can follow the end of the input or a failed stream; going on
                // would only record the same error again and again.
                if (atEnd || status.GetStatus() == ParserErrorStream)
                    goingOn = false;
            }
        } catch (...) {
            // A handler failed in a way of its own (a numeric contract, memory): the
            // record is rejected like a token of the wrong kind, and reading stops.
            if (insideEntry)
                ReleaseInstance();
            KaParserStatus status = m_parser.GetStatus();
            status.SetStatus(ParserErrorNotSpecifiedToken);
            AddError(status);
            goingOn = false;
        }
    }

    // Reaching the end of the input where a keyword is expected leaves a type error
    // behind; it is no error. A genuine one (the end of input not yet reached) stays.
    // Only an error recorded with the end of the input current is that one.
    KaReaderError* last = m_errors.Last();
    if (last && last == m_typeErrorAtEnd)
        delete m_errors.Subtract(last);
    m_typeErrorAtEnd = nullptr;
    return 1;
}

// ---------------------------------------------------------------------------
// KaObject, as a record of keyword files

int KaObject::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    m_id = static_cast<unsigned int>(in.GetInt());
    m_name = in.GetText();
    return 1;
}

void KaObject::Write(std::ostream& os) const {
    os << ' ' << std::right << std::setw(4) << m_id << " \"" << KaQuotable(m_name).chars() << '"';
}
