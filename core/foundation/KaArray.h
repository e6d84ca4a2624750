#pragma once

#include <algorithm>
#include <climits>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

// A growable array of individually allocated elements, owned by the array.
// The slots beyond the count are empty; a full array doubles its capacity.
//
// T needs a copy constructor; Search and the comparisons need operator==,
// Sort and the binary searches operator<.
//
// Indices are checked where a bad one would reach memory: operator[] throws
// std::out_of_range, Insert clamps its index to 0..Size(), Remove ignores an
// index outside 0..Size()-1 and Search clamps its range.
template <class T>
class TKaArray {
public:
    static constexpr int DefaultCapacity = 256;

    TKaArray() { Init(DefaultCapacity, false); }
    explicit TKaArray(int capacity) { Init(capacity, false); }
    TKaArray(TKaArray const& other) { CopyFrom(other); }
    TKaArray& operator=(TKaArray const& other) {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }
    virtual ~TKaArray() = default;

    // Appends a copy of x.
    void Add(T const& x) {
        Grow();
        m_slots[static_cast<size_t>(m_count)] = std::make_unique<T>(x);
        ++m_count;
    }
    // Stores a copy of x at index; the elements from index on move one place up.
    void Insert(T const& x, int index) {
        if (index < 0)
            index = 0;
        if (index > m_count)
            index = m_count;
        Grow();
        auto const at = m_slots.begin() + index;
        std::move_backward(at, m_slots.begin() + m_count, m_slots.begin() + m_count + 1);
        *at = std::make_unique<T>(x);
        ++m_count;
    }
    // Destroys the element at index; the following ones move one place down.
    void Remove(int index) {
        if (index < 0 || index >= m_count)
            return;
        auto const at = m_slots.begin() + index;
        std::move(at + 1, m_slots.begin() + m_count, at);
        --m_count;
        m_slots[static_cast<size_t>(m_count)].reset();
    }
    // Destroys every element and returns to an empty array of the default capacity.
    void Clear() { Init(DefaultCapacity, true); }

    T& operator[](int index) { return *m_slots[Checked(index)]; }
    T const& operator[](int index) const { return *m_slots[Checked(index)]; }
    int Size() const { return m_count; }
    int Capacity() const { return static_cast<int>(m_slots.size()); }

    // The first index in [from, to) whose element equals x, or -1; to = -1 means Size().
    int Search(T const& x, int from = 0, int to = -1) const {
        if (to < 0 || to > m_count)
            to = m_count;
        for (int i = from < 0 ? 0 : from; i < to; ++i)
            if (*m_slots[static_cast<size_t>(i)] == x)
                return i;
        return -1;
    }
    // Binary search in an array sorted ascending: an index holding x, or -1.
    int BinSearchUp(T const& x) const { return BinSearch(x, false); }
    // Binary search in an array sorted descending: an index holding x, or -1.
    int BinSearchDown(T const& x) const { return BinSearch(x, true); }

    // Sorts ascending (not stable).
    void Sort() {
        if (m_count > 1)
            QuickSort(0, m_count - 1);
    }

    bool operator==(TKaArray const& other) const {
        if (m_count != other.m_count)
            return false;
        for (int i = 0; i < m_count; ++i)
            if (!(*m_slots[static_cast<size_t>(i)] == *other.m_slots[static_cast<size_t>(i)]))
                return false;
        return true;
    }
    bool operator!=(TKaArray const& other) const { return !(*this == other); }

protected:
    // An empty array of the given capacity (a negative one counts as 0). The
    // elements are always destroyed: the flag only says whether there may be any.
    void Init(int capacity, bool /*destroy*/) {
        m_slots.clear();
        m_slots.resize(static_cast<size_t>(capacity > 0 ? capacity : 0));
        m_count = 0;
    }
    // A new capacity, never below the count; the elements stay, new slots are empty.
    void Reallocate(int capacity) {
        if (capacity < m_count)
            capacity = m_count;
        m_slots.resize(static_cast<size_t>(capacity));
    }
    void Swap(int i, int j) { std::swap(m_slots[static_cast<size_t>(i)], m_slots[static_cast<size_t>(j)]); }

    // Iterative quicksort of the inclusive range [lo, hi] with an explicit stack:
    // the smaller part waits on the stack, so it never holds more than log2(n)
    // ranges; short ranges are finished by InsertSort.
    void QuickSort(int lo, int hi) {
        std::vector<std::pair<int, int>> pending;
        for (;;) {
            if (hi - lo + 1 <= ShortRange) {
                InsertSort(lo, hi);
                if (pending.empty())
                    return;
                std::tie(lo, hi) = pending.back();
                pending.pop_back();
                continue;
            }
            int const p = Partition(lo, hi);
            if (p - lo < hi - p) {
                pending.emplace_back(lo, p - 1);
                lo = p + 1;
            } else {
                pending.emplace_back(p + 1, hi);
                hi = p - 1;
            }
        }
    }
    // A selection pass over [lo, hi]: for each end position from the top down,
    // the largest element up to it (the last of equal ones) is swapped there.
    void InsertSort(int lo, int hi) {
        for (int end = hi; end > lo; --end) {
            int largest = lo;
            for (int i = lo + 1; i <= end; ++i)
                if (!(At(i) < At(largest)))
                    largest = i;
            if (largest != end)
                Swap(largest, end);
        }
    }

private:
    static constexpr int ShortRange = 8;

    T const& At(int i) const { return *m_slots[static_cast<size_t>(i)]; }

    size_t Checked(int index) const {
        if (index < 0 || index >= m_count)
            throw std::out_of_range("TKaArray index out of range");
        return static_cast<size_t>(index);
    }

    void Grow() {
        if (m_count < Capacity())
            return;
        int const capacity = Capacity();
        Reallocate(capacity > 0 ? (capacity <= INT_MAX / 2 ? 2 * capacity : INT_MAX) : 1);
        if (m_count >= Capacity())
            throw std::length_error("TKaArray is full");
    }

    // Partitions [lo, hi] around its middle element, which is moved to lo first
    // and to its final place at the end; returns that place. Both scans stop at
    // elements equal to the pivot, which keeps ranges of equal elements balanced.
    int Partition(int lo, int hi) {
        Swap(lo, lo + (hi - lo) / 2);
        T const& pivot = At(lo);
        int i = lo + 1;
        int j = hi;
        for (;;) {
            while (i <= j && At(i) < pivot)
                ++i;
            while (i <= j && pivot < At(j))
                --j;
            if (i >= j)
                break;
            Swap(i, j);
            ++i;
            --j;
        }
        Swap(lo, j);
        return j;
    }

    int BinSearch(T const& x, bool descending) const {
        int lo = 0;
        int hi = m_count - 1;
        while (lo <= hi) {
            int const mid = lo + (hi - lo) / 2;
            T const& m = At(mid);
            if (m == x)
                return mid;
            bool const goUp = descending ? x < m : m < x;
            if (goUp)
                lo = mid + 1;
            else
                hi = mid - 1;
        }
        return -1;
    }

    // Copies every element into a new object; the pointer array keeps its size
    // when the capacities agree and takes the source's capacity otherwise.
    void CopyFrom(TKaArray const& other) {
        std::vector<std::unique_ptr<T>> slots(other.m_slots.size());
        for (int i = 0; i < other.m_count; ++i)
            slots[static_cast<size_t>(i)] = std::make_unique<T>(other.At(i));
        m_slots = std::move(slots);
        m_count = other.m_count;
    }

    std::vector<std::unique_ptr<T>> m_slots; // size() is the capacity
    int m_count = 0;
};
