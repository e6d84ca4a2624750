#pragma once

#include "foundation/KaObject.h"
#include "foundation/KaObserver.h"
#include "foundation/String.h"

#include <algorithm>
#include <climits>
#include <type_traits>
#include <vector>

// An owning intrusive doubly linked list of T (a class derived from KaListnode).
// The list deletes its nodes on Destroy, assignment and destruction; Subtract
// only unlinks and hands the node back to the caller, who then owns it.
// The Notify... hooks do nothing here; TKaListHeader sends them to observers.
template <class T>
class TKaBaseListHeader {
public:
    virtual ~TKaBaseListHeader() { Destroy(); }

    virtual void NotifyAdd(T*) {}
    virtual void NotifyMultiAdd() {}
    virtual void NotifySubtract(T*) {}
    virtual void NotifyChanged(T*, KaObserver*) {}
    virtual void NotifySort() {}
    virtual void NotifyDestroyed() {}

    // Suspension nests: every SetNotify(false) needs its SetNotify(true).
    virtual void SetNotify(bool on) {
        if (!on)
            ++m_suspended;
        else if (m_suspended > 0)
            --m_suspended;
    }
    virtual void ForceNotify() { m_suspended = 0; }

    // Replaces the nodes by copies of other's; the registered observers stay.
    virtual TKaBaseListHeader& operator=(TKaBaseListHeader const& other) {
        if (&other != this) {
            SetNotify(false);
            Destroy();
            other.CopyTo(this);
            SetNotify(true);
            NotifyMultiAdd();
        }
        return *this;
    }
    virtual TKaBaseListHeader& operator+=(TKaBaseListHeader const& other) {
        other.CopyTo(this);
        return *this;
    }

    virtual T* First() const { return m_head; }
    virtual T* Last() const { return m_tail; }
    // The n-th node counting from 0, null past the end.
    virtual T* Get(int n) const {
        if (n < 0)
            return nullptr;
        T* node = m_head;
        for (; node && n > 0; --n)
            node = Following(node);
        return node;
    }

    virtual T* Add(T* node) {
        if (!node)
            return nullptr;
        LinkBefore(nullptr, node);
        NotifyAdd(node);
        return node;
    }
    // Links node directly before `before`; appends when the list is empty or before is null.
    virtual T* Insert(T* before, T* node) {
        if (!node)
            return nullptr;
        if (!m_head || !before)
            return Add(node);
        LinkBefore(before, node);
        NotifyAdd(node);
        return node;
    }
    // Inserts before the first node n with n->Compare(node) > 0, so equal keys keep
    // their insertion order.
    virtual T* SortedInsert(T* node) {
        if (!node)
            return nullptr;
        return Insert(SortedPosition(m_head, node), node);
    }

    virtual T* Subtract(int index) { return Subtract(Get(index)); }
    virtual T* Subtract(T* node) {
        if (!node || !IsLinkedHere(node))
            return nullptr;
        Unlink(node);
        NotifySubtract(node);
        return node;
    }
    virtual T* SubtractFirst() { return Subtract(m_head); }
    virtual T* SubtractLast() { return Subtract(m_tail); }

    // Stable: nodes with equal keys keep their order. Returns the node count.
    virtual int Sort() {
        SetNotify(false);
        int const count = MergeSort();
        SetNotify(true);
        NotifySort();
        return count;
    }
    // Splices all nodes to the end of other in constant time.
    virtual void MoveTo(TKaBaseListHeader* other) {
        if (!other || other == this || !m_head)
            return;
        if (other->m_tail) {
            other->m_tail->m_next = m_head;
            m_head->m_previous = other->m_tail;
        } else {
            other->m_head = m_head;
        }
        other->m_tail = m_tail;
        m_head = m_tail = nullptr;
        other->NotifyMultiAdd();
        NotifyChanged(nullptr, nullptr);
    }
    // Appends a copy of every node to other; returns the number copied.
    virtual int CopyTo(TKaBaseListHeader* other) const {
        if (!other)
            return 0;
        int count = 0;
        other->SetNotify(false);
        // Stop at the present tail: copying a list onto itself must not chase its own copies.
        for (T *node = m_head, *last = m_tail; node; node = node == last ? nullptr : Following(node)) {
            other->Add(new T(*node));
            ++count;
        }
        other->SetNotify(true);
        other->NotifyMultiAdd();
        return count;
    }
    // Deletes every node.
    virtual void Destroy() {
        SetNotify(false);
        while (T* node = m_head) {
            Unlink(node);
            delete node;
        }
        SetNotify(true);
        NotifyChanged(nullptr, nullptr);
    }
    // Unlinks every node without deleting it.
    virtual void SubtractAll() {
        SetNotify(false);
        while (m_head)
            Unlink(m_head);
        SetNotify(true);
        NotifyChanged(nullptr, nullptr);
    }

    virtual int Count() const {
        int count = 0;
        for (T* node = m_head; node; node = Following(node))
            ++count;
        return count;
    }
    virtual bool Exist(T* node) const {
        for (T* n = m_head; n; n = Following(n))
            if (n == node)
                return true;
        return false;
    }
    // 0 when node is in the list, -1 otherwise.
    virtual int Index(T* node) const { return Exist(node) ? 0 : -1; }
    virtual bool IsEmpty() const { return m_head == nullptr; }
    // The first node n with n->Compare(&x) == 0.
    virtual T* Find(T const& x) const {
        for (T* n = m_head; n; n = Following(n))
            if (n->Compare(&x) == 0)
                return n;
        return nullptr;
    }
    virtual T* Push(T* node) { return Add(node); }
    virtual T* Pop() { return SubtractLast(); }

    bool IsNotifyEnabled() const { return m_suspended == 0; }
    // The node behind an event's item.
    static T* Cast(void const* item) { return static_cast<T*>(const_cast<void*>(item)); }

    TKaBaseListHeader() = default;
    // Copies the nodes; notifications start enabled.
    TKaBaseListHeader(TKaBaseListHeader const& other) {
        for (T* node = other.m_head; node; node = Following(node))
            LinkBefore(nullptr, new T(*node));
    }

protected:
    static T* Following(KaBaseListnode const* node) { return static_cast<T*>(node->m_next); }
    static T* Preceding(KaBaseListnode const* node) { return static_cast<T*>(node->m_previous); }

private:
    static_assert(std::is_base_of_v<KaListnode, T>, "list elements derive from KaListnode");

    // Links node before `before`, or at the tail when before is null.
    void LinkBefore(T* before, T* node) {
        node->m_next = before;
        node->m_previous = before ? before->m_previous : m_tail;
        if (node->m_previous)
            node->m_previous->m_next = node;
        else
            m_head = node;
        if (before)
            before->m_previous = node;
        else
            m_tail = node;
    }

    void Unlink(T* node) {
        if (node->m_previous)
            node->m_previous->m_next = node->m_next;
        else
            m_head = Following(node);
        if (node->m_next)
            node->m_next->m_previous = node->m_previous;
        else
            m_tail = Preceding(node);
        node->Init();
    }

    // Cheap check that rejects nodes that are unlinked or at the ends of another list.
    bool IsLinkedHere(T const* node) const {
        bool const front = node->m_previous ? node->m_previous->m_next == node : m_head == node;
        bool const back = node->m_next ? node->m_next->m_previous == node : m_tail == node;
        return front && back;
    }

    // The node before which the SortedInsert rule puts node, scanning from `from`.
    static T* SortedPosition(T* from, T const* node) {
        for (T* n = from; n; n = Following(n))
            if (n->Compare(node) > 0)
                return n;
        return nullptr;
    }

    // A stable merge sort that puts a later node before an earlier one only when
    // earlier->Compare(later) > 0: the order the SortedInsert rule builds, in
    // O(n log n) instead of quadratic time.
    int MergeSort() {
        std::vector<T*> nodes;
        for (T* n = m_head; n; n = Following(n))
            nodes.push_back(n);
        std::vector<T*> buffer(nodes.size());
        for (std::size_t width = 1; width < nodes.size(); width *= 2) {
            for (std::size_t lo = 0; lo < nodes.size(); lo += 2 * width) {
                std::size_t const mid = std::min(lo + width, nodes.size());
                std::size_t const hi = std::min(lo + 2 * width, nodes.size());
                std::size_t i = lo, j = mid, k = lo;
                while (i < mid && j < hi)
                    buffer[k++] = nodes[i]->Compare(nodes[j]) > 0 ? nodes[j++] : nodes[i++];
                while (i < mid)
                    buffer[k++] = nodes[i++];
                while (j < hi)
                    buffer[k++] = nodes[j++];
            }
            nodes.swap(buffer);
        }
        m_head = m_tail = nullptr;
        for (T* n : nodes)
            LinkBefore(nullptr, n);
        return static_cast<int>(nodes.size());
    }

    T* m_head = nullptr;
    T* m_tail = nullptr;
    int m_suspended = 0;
};

// The list of the system: an owning list that reports its changes to observers,
// with lookup by identifier and name and identifier allocation.
template <class T>
class TKaListHeader : public TKaBaseListHeader<T>, public KaStandardNotifier {
    using Base = TKaBaseListHeader<T>;

public:
    // Deletes the nodes, tells the observers the list is gone and lets them go.
    ~TKaListHeader() override {
        this->Destroy();
        NotifyDestroyed();
        RemoveAllObservers();
    }

    void NotifyAdd(T* node) override { Send(KaNotifyEvent::Added, node, nullptr); }
    void NotifyMultiAdd() override { Send(KaNotifyEvent::BulkChange, nullptr, nullptr); }
    void NotifySubtract(T* node) override { Send(KaNotifyEvent::Subtracted, node, nullptr); }
    void NotifyChanged(T* node, KaObserver* except) override {
        Send(KaNotifyEvent::BulkChange, node, except);
    }
    void NotifySort() override { Send(KaNotifyEvent::BulkChange, nullptr, nullptr); }
    // Sent even while notifications are suspended.
    void NotifyDestroyed() override {
        KaNotifyEvent event(KaNotifyEvent::Destroyed, this, nullptr);
        NotifyObservers(&event, nullptr);
    }

    T* Add(T* node) override { return Base::Add(node); }
    T* Subtract(int index) override { return Base::Subtract(index); }
    T* Subtract(T* node) override { return Base::Subtract(node); }
    T* Find(T const& x) const override { return Base::Find(x); }

    virtual T* Add(T const& x) { return Add(new T(x)); }
    virtual T* Replace(T const& x) { return Replace(new T(x)); }
    // Puts node in the place of the node with the same identifier, deleting that
    // one, or appends it when there is none. Returns node.
    virtual T* Replace(T* node) { return ReplaceOr(node, false); }
    virtual T* SortedReplace(T const& x) { return SortedReplace(new T(x)); }
    // Like Replace, but a node without a namesake is put in with SortedInsert.
    virtual T* SortedReplace(T* node) { return ReplaceOr(node, true); }
    virtual T* Subtract(String const& name) { return Subtract(Find(name, false)); }
    virtual T* Subtract(unsigned int id) { return Subtract(Find(id)); }
    // exact: names compare byte-wise; otherwise ASCII case is ignored.
    virtual T* Find(String const& name, bool exact) const {
        for (T* n = this->First(); n; n = Base::Following(n))
            if ((exact ? compare(n->GetName(), name) : fcompare(n->GetName(), name)) == 0)
                return n;
        return nullptr;
    }
    virtual T* Find(unsigned int id) const {
        for (T* n = this->First(); n; n = Base::Following(n))
            if (n->GetId() == id)
                return n;
        return nullptr;
    }
    // For wish 0 the largest identifier plus 1 (1 when empty); otherwise wish
    // itself or the next larger identifier that is not taken.
    virtual unsigned int GetFreeId(unsigned int wish) const {
        std::vector<unsigned int> ids;
        for (T* n = this->First(); n; n = Base::Following(n))
            ids.push_back(n->GetId());
        std::sort(ids.begin(), ids.end());
        if (wish == 0) {
            if (ids.empty())
                return 1;
            if (ids.back() < UINT_MAX)
                return ids.back() + 1;
            // The largest possible identifier is taken (a temporary point, say):
            // hand out the smallest free one instead of wrapping to 0.
            return FirstFreeFrom(ids, 1);
        }
        unsigned int const id = FirstFreeFrom(ids, wish);
        return id != 0 ? id : FirstFreeFrom(ids, 1);
    }
    // Numbers the nodes from `from` (the head when null) to the tail start,
    // start + step, ...; returns how many were renumbered.
    virtual int Renumber(unsigned int start, T* from, unsigned int step) {
        int count = 0;
        for (T* n = from ? from : this->First(); n; n = Base::Following(n), ++count)
            n->SetId(start + static_cast<unsigned int>(count) * step);
        return count;
    }

    using Base::operator=;
    TKaListHeader() = default;
    // Copies the nodes; the copy starts with no observers.
    TKaListHeader(TKaListHeader const& other) : Base(other), KaStandardNotifier() {}
    TKaListHeader& operator=(TKaListHeader const& other) {
        Base::operator=(other);
        return *this;
    }

private:
    void Send(int code, T* node, KaObserver* except) {
        if (!this->IsNotifyEnabled())
            return;
        KaNotifyEvent event(code, this, node);
        NotifyObservers(&event, except);
    }

    T* ReplaceOr(T* node, bool sorted) {
        if (!node)
            return nullptr;
        T* old = Find(node->GetId());
        if (old == node || this->Exist(node))
            return node;
        if (!old)
            return sorted ? this->SortedInsert(node) : Add(node);
        this->Insert(old, node);
        delete Subtract(old);
        return node;
    }

    // The smallest value at or above `from` missing from the sorted ids; 0 when
    // every value up to the largest identifier is taken.
    static unsigned int FirstFreeFrom(std::vector<unsigned int> const& ids, unsigned int from) {
        unsigned int candidate = from;
        auto it = std::lower_bound(ids.begin(), ids.end(), from);
        while (it != ids.end() && *it == candidate) {
            if (candidate == UINT_MAX)
                return 0;
            it = std::upper_bound(it, ids.end(), candidate);
            ++candidate;
        }
        return candidate;
    }
};
