#include "foundation/KaObserver.h"

#include <algorithm>

void KaObserver::Notify(KaNotifyEvent* event) {
    if (m_link.IsSet())
        m_link.Call(event);
}

KaObserver::~KaObserver() {
    RemoveFromNotifyParent();
}

KaObserver::KaObserver(Link const& link) : m_link(link) {}

KaObserver::KaObserver(KaStandardNotifier* parent) {
    SetNotifyParent(parent);
}

KaObserver::KaObserver(KaStandardNotifier* parent, Link const& link) : m_link(link) {
    SetNotifyParent(parent);
}

KaObserver::KaObserver(KaObserver const& other) : m_link(other.m_link) {}

KaObserver& KaObserver::operator=(KaObserver const& other) {
    m_link = other.m_link;
    return *this;
}

void KaObserver::SetNotifyParent(KaStandardNotifier* parent) {
    if (parent && !m_parent)
        parent->AddObserver(this);
}

void KaObserver::ChangeNotifyParent(KaStandardNotifier* parent) {
    RemoveFromNotifyParent();
    SetNotifyParent(parent);
}

void KaObserver::RemoveFromNotifyParent() {
    if (m_parent)
        m_parent->RemoveObserver(this);
}

KaStandardNotifier::KaStandardNotifier() {
    m_observers.reserve(InitialCapacity);
}

KaStandardNotifier::KaStandardNotifier(KaStandardNotifier const&) : KaStandardNotifier() {}

KaStandardNotifier& KaStandardNotifier::operator=(KaStandardNotifier const&) {
    return *this;
}

KaStandardNotifier::~KaStandardNotifier() {
    RemoveAllObservers();
}

bool KaStandardNotifier::AddObserver(KaObserver* observer) {
    if (!observer || observer->m_parent)
        return false;
    observer->m_parent = this;
    m_observers.push_back(observer);
    return true;
}

bool KaStandardNotifier::RemoveObserver(KaObserver* observer) {
    if (!observer || observer->m_parent != this)
        return false;
    auto it = std::find(m_observers.begin(), m_observers.end(), observer);
    if (it == m_observers.end())
        return false;
    observer->m_parent = nullptr;
    if (m_delivering > 0) {
        *it = nullptr;
        m_hasHoles = true;
    } else {
        m_observers.erase(it);
    }
    return true;
}

void KaStandardNotifier::RemoveAllObservers() {
    for (KaObserver*& observer : m_observers) {
        if (observer) {
            observer->m_parent = nullptr;
            observer = nullptr;
        }
    }
    if (m_delivering > 0)
        m_hasHoles = true;
    else
        m_observers.clear();
}

int KaStandardNotifier::NotifyObservers(KaNotifyEvent* event, KaObserver* except) {
    int const registered = GetObserverCount();
    // Only the entries present now are visited; the vector may grow meanwhile.
    std::size_t const end = m_observers.size();
    // An observer may throw; the delivery depth must still be restored.
    struct Delivery {
        KaStandardNotifier& notifier;
        explicit Delivery(KaStandardNotifier& n) : notifier(n) { ++notifier.m_delivering; }
        ~Delivery() {
            if (--notifier.m_delivering == 0 && notifier.m_hasHoles)
                notifier.Compact();
        }
    } delivery(*this);
    for (std::size_t i = 0; i < end; ++i) {
        KaObserver* observer = m_observers[i];
        if (observer && observer != except)
            observer->Notify(event);
    }
    return registered;
}

int KaStandardNotifier::GetObserverCount() const {
    return static_cast<int>(std::count_if(m_observers.begin(), m_observers.end(),
                                          [](KaObserver const* o) { return o != nullptr; }));
}

void KaStandardNotifier::Compact() {
    std::erase(m_observers, nullptr);
    m_hasHoles = false;
}
