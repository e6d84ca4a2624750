#pragma once

#include "TarvisExport.h"
#include "foundation/String.h"

#include <iosfwd>

class KaReaderObject;

// A small set of state bits.
class TARVIS_API KaFlag {
public:
    KaFlag() = default;
    explicit KaFlag(int flag) : m_flag(flag) {}

    int SetFlag(int mask) { return m_flag |= mask; }
    int ClearFlag(int mask) { return m_flag &= ~mask; }
    int ToggleFlag(int mask) { return m_flag ^= mask; }
    // Nonzero when any bit of mask is set.
    int IsFlagSet(int mask) const { return m_flag & mask; }
    int GetFlag() const { return m_flag; }

private:
    int m_flag = 0;
};

// An identified, named object.
class TARVIS_API KaObject {
public:
    virtual ~KaObject();
    virtual int Compare(KaObject const* other) const;
    // +1 when this identifier is smaller than id, -1 when larger, 0 when equal.
    virtual int Compare(unsigned int id) const;

    KaObject() = default;
    explicit KaObject(unsigned int id) : m_id(id) {}
    explicit KaObject(String const& name) : m_name(name) {}
    KaObject(unsigned int id, String const& name) : m_id(id), m_name(name) {}
    KaObject(KaObject const& other) = default;
    KaObject& operator=(KaObject const& other) = default;

    unsigned int GetId() const { return m_id; }
    void SetId(unsigned int id) { m_id = id; }
    String const& GetName() const { return m_name; }
    void SetName(String const& name) { m_name = name; }

    // A reader handler: the identifier as an integer, then the name as a quoted
    // string, moving on after each.
    int Read(KaReaderObject* object);
    // The identifier in a column of four, a blank and the name in double quotes.
    void Write(std::ostream& os) const;

private:
    unsigned int m_id = 0;
    String m_name;
};

template <class T>
class TKaBaseListHeader;

// The links of a node of an intrusive list. A node belongs to at most one list,
// so copies start unlinked and assignment keeps the node's own place.
class TARVIS_API KaBaseListnode {
public:
    virtual ~KaBaseListnode();
    virtual int Compare(KaBaseListnode const* other) const;

    KaBaseListnode() = default;
    KaBaseListnode(KaBaseListnode const&) {}
    KaBaseListnode& operator=(KaBaseListnode const&) { return *this; }

    KaBaseListnode* Next() const { return m_next; }
    KaBaseListnode* Previous() const { return m_previous; }
    void Init() { m_previous = m_next = nullptr; }

private:
    template <class T>
    friend class TKaBaseListHeader;

    KaBaseListnode* m_previous = nullptr;
    KaBaseListnode* m_next = nullptr;
};

// The element base of every list: links, identifier and name.
class TARVIS_API KaListnode : public KaBaseListnode, public KaObject {
public:
    using KaBaseListnode::Compare;
    using KaObject::Compare;
    // +1 when this identifier is smaller than the other's, -1 when larger, 0 when equal.
    virtual int Compare(KaListnode const* other) const;

    KaListnode() = default;
    explicit KaListnode(unsigned int id) : KaObject(id) {}
    explicit KaListnode(String const& name) : KaObject(name) {}
    KaListnode(unsigned int id, String const& name) : KaObject(id, name) {}
    KaListnode(KaListnode const& other) = default;
    KaListnode& operator=(KaListnode const& other) = default;
    ~KaListnode() override;

    KaListnode* Next() const { return static_cast<KaListnode*>(KaBaseListnode::Next()); }
    KaListnode* Previous() const { return static_cast<KaListnode*>(KaBaseListnode::Previous()); }
};
