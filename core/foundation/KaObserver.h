#pragma once

#include "TarvisExport.h"
#include "foundation/Link.h"

#include <vector>

class KaStandardNotifier;

// What a notifier tells its observers. Codes used by the lists: 1 bulk change
// (several added, sorted or changed), 2 added, 3 subtracted, 4 destroyed.
struct TARVIS_API KaNotifyEvent {
    enum : int { BulkChange = 1, Added = 2, Subtracted = 3, Destroyed = 4 };

    KaNotifyEvent() = default;
    KaNotifyEvent(int code_, KaStandardNotifier* sender_, void* item_ = nullptr)
        : code(code_), sender(sender_), item(item_) {}

    int code = 0;
    KaStandardNotifier* sender = nullptr;
    void* item = nullptr; // the element concerned, or null
};

// Receives the events of at most one notifier, its parent. Either side may be
// destroyed first: each unregisters from the other.
class TARVIS_API KaObserver {
    friend class KaStandardNotifier;

protected:
    // Calls the reaction link with the event when the link is set.
    virtual void Notify(KaNotifyEvent* event);

public:
    virtual ~KaObserver();

    KaObserver() = default;
    explicit KaObserver(Link const& link);
    explicit KaObserver(KaStandardNotifier* parent);
    KaObserver(KaStandardNotifier* parent, Link const& link);
    // The copy takes the link only: it starts unregistered.
    KaObserver(KaObserver const& other);
    // Takes the link; the registration of this observer stays as it is.
    KaObserver& operator=(KaObserver const& other);

    void SetLink(Link const& link) { m_link = link; }
    Link const& GetLink() const { return m_link; }

    KaStandardNotifier* GetNotifyParent() const { return m_parent; }
    // Registers with parent unless parent is null or this observer already has one.
    void SetNotifyParent(KaStandardNotifier* parent);
    void ChangeNotifyParent(KaStandardNotifier* parent);
    void RemoveFromNotifyParent();

private:
    Link m_link;
    KaStandardNotifier* m_parent = nullptr;
};

// Holds observers (not owned) in registration order and delivers events to them.
class TARVIS_API KaStandardNotifier {
public:
    KaStandardNotifier();
    // An observer has one parent, so a copy starts without observers.
    KaStandardNotifier(KaStandardNotifier const& other);
    // Keeps this notifier's own observers.
    KaStandardNotifier& operator=(KaStandardNotifier const& other);
    virtual ~KaStandardNotifier();

    bool AddObserver(KaObserver* observer);
    bool RemoveObserver(KaObserver* observer);
    void RemoveAllObservers();
    // Delivers event to every observer except `except`, in registration order.
    // Observers removed during the delivery are not called any more; observers
    // added during it are not called for this event. Returns the number of
    // observers registered when the delivery started.
    int NotifyObservers(KaNotifyEvent* event, KaObserver* except = nullptr);

    int GetObserverCount() const;

private:
    static constexpr std::size_t InitialCapacity = 256;

    void Compact();

    // Entries of observers removed during a delivery are set to null and dropped
    // once the outermost delivery has finished, so indices stay valid meanwhile.
    std::vector<KaObserver*> m_observers;
    int m_delivering = 0;
    bool m_hasHoles = false;
};
