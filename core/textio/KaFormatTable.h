#pragma once

#include <vector>

// An ordered list of column codes. A record reader or writer walks it to decide
// which fields a line has and in which order. Static tables of codes end with 0.
template <class T>
class TKaFormatTable {
public:
    TKaFormatTable() = default;
    TKaFormatTable(T const* table) { SetTable(table); }
    TKaFormatTable(TKaFormatTable const&) = default;
    TKaFormatTable& operator=(TKaFormatTable const&) = default;
    virtual ~TKaFormatTable() = default;

    void SetTable(T const* table) {
        m_codes.clear();
        if (!table)
            return;
        for (; static_cast<int>(*table) != 0; ++table)
            m_codes.push_back(*table);
    }
    void SetTable(TKaFormatTable const& other) { m_codes = other.m_codes; }
    TKaFormatTable& operator=(T const* table) {
        SetTable(table);
        return *this;
    }
    void DelTable() { m_codes.clear(); }

    // The code at position i, or 0 past the end.
    T operator[](int i) const {
        return i >= 0 && i < Size() ? m_codes[static_cast<size_t>(i)] : static_cast<T>(0);
    }
    // The first position holding code, or -1.
    int HasEntry(T code) const {
        for (int i = 0; i < Size(); ++i)
            if (m_codes[static_cast<size_t>(i)] == code)
                return i;
        return -1;
    }
    int Size() const { return static_cast<int>(m_codes.size()); }

private:
    std::vector<T> m_codes;
};
