#include "foundation/KaIdTable.h"

#include "textio/KaParser.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <ostream>

namespace {

bool IntCurrent(KaParser& parser) {
    return parser.GetToken().GetType() == TokenInt;
}

// The list ends at a token that is not an integer: a closing brace is the
// regular end, anything else (the end of the input included) goes to the reader.
void ExpectListEnd(KaParser& parser) {
    parser.GetToken(TokenEndBlock);
}

// Identifiers are unsigned: "-1" and "4294967295" both name the largest one.
unsigned int GetId(KaStreamParser& in) {
    return static_cast<unsigned int>(in.GetInt());
}

} // namespace

KaIdPair::~KaIdPair() = default;

KaIdTable::~KaIdTable() = default;

int KaIdTable::Read(KaReaderObject* object) {
    KaParser& parser = object->GetParser();
    KaStreamParser in = object->GetStreamParser();
    while (IntCurrent(parser))
        Add(GetId(in));
    ExpectListEnd(parser);
    return Size();
}

void KaIdTable::Write(std::ostream& os) const {
    for (int i = 0; i < Size(); ++i) {
        os << s10 << (*this)[i] << ' ';
        if ((i + 1) % 10 == 0)
            os << Kaendl;
    }
    os << Kaendl;
}

KaIdPairTable::~KaIdPairTable() = default;

int KaIdPairTable::Read(KaReaderObject* object) {
    KaParser& parser = object->GetParser();
    KaStreamParser in = object->GetStreamParser();
    while (IntCurrent(parser)) {
        unsigned int const first = GetId(in);
        unsigned int const second = GetId(in);
        Add(KaIdPair(first, second));
    }
    ExpectListEnd(parser);
    return Size();
}

void KaIdPairTable::Write(std::ostream& os) const {
    for (int i = 0; i < Size(); ++i) {
        KaIdPair const& pair = (*this)[i];
        os << s10 << pair.GetFirst() << ' ' << s10 << pair.GetSecond() << "  ";
        if ((i + 1) % 5 == 0)
            os << Kaendl;
    }
    os << Kaendl;
}
