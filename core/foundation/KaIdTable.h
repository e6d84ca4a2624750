#pragma once

#include "TarvisExport.h"
#include "foundation/KaArray.h"

#include <iosfwd>

class KaReaderObject;

// An ordered pair of identifiers, ordered by the first, then by the second.
class TARVIS_API KaIdPair {
public:
    KaIdPair() = default;
    KaIdPair(unsigned int first, unsigned int second) : m_first(first), m_second(second) {}
    KaIdPair(KaIdPair const& other) = default;
    KaIdPair& operator=(KaIdPair const& other) = default;
    virtual ~KaIdPair();

    unsigned int GetFirst() const { return m_first; }
    unsigned int GetSecond() const { return m_second; }
    void Set(unsigned int first, unsigned int second) {
        m_first = first;
        m_second = second;
    }

    bool operator<(KaIdPair const& other) const {
        return m_first < other.m_first || (m_first == other.m_first && m_second < other.m_second);
    }
    bool operator<=(KaIdPair const& other) const { return !(other < *this); }
    bool operator==(KaIdPair const& other) const {
        return m_first == other.m_first && m_second == other.m_second;
    }
    bool operator!=(KaIdPair const& other) const { return !(*this == other); }

private:
    unsigned int m_first = 0;
    unsigned int m_second = 0;
};

// A list of identifiers, such as a selection of point numbers, that reads
// itself from a braced block and writes itself in columns.
class TARVIS_API KaIdTable : public TKaArray<unsigned int> {
public:
    KaIdTable() = default;
    explicit KaIdTable(int capacity) : TKaArray<unsigned int>(capacity) {}
    KaIdTable(KaIdTable const& other) = default;
    KaIdTable& operator=(KaIdTable const& other) = default;
    ~KaIdTable() override;

    using TKaArray<unsigned int>::Add;
    using TKaArray<unsigned int>::Insert;
    using TKaArray<unsigned int>::Remove;
    using TKaArray<unsigned int>::Clear;

    // A reader handler for the contents of a block: integers up to the closing
    // brace, which stays current. Any other token ends the list with the parser
    // status thrown to the reader. Returns the number of identifiers.
    int Read(KaReaderObject* object);
    // Ten identifiers a line, each left-aligned in 10 columns and a blank, and a
    // final line end.
    void Write(std::ostream& os) const;
};

// A list of identifier pairs with the same file form, two integers a pair.
class TARVIS_API KaIdPairTable : public TKaArray<KaIdPair> {
public:
    KaIdPairTable() = default;
    explicit KaIdPairTable(int capacity) : TKaArray<KaIdPair>(capacity) {}
    KaIdPairTable(KaIdPairTable const& other) = default;
    KaIdPairTable& operator=(KaIdPairTable const& other) = default;
    ~KaIdPairTable() override;

    using TKaArray<KaIdPair>::Add;
    using TKaArray<KaIdPair>::Insert;
    using TKaArray<KaIdPair>::Remove;
    using TKaArray<KaIdPair>::Clear;

    // Like KaIdTable::Read; a pair cut short by the closing brace is an error.
    int Read(KaReaderObject* object);
    // Five pairs a line: each the first identifier left-aligned in 10 columns, a
    // blank, the second in 10 columns and two blanks; a final line end.
    void Write(std::ostream& os) const;
};
