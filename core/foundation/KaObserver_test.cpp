#include "foundation/KaObserver.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Records the events it receives and optionally acts on the notifier meanwhile.
class Recording : public KaObserver {
public:
    using KaObserver::KaObserver;
    std::vector<int> codes;
    std::function<void()> during;

protected:
    void Notify(KaNotifyEvent* event) override {
        codes.push_back(event->code);
        if (during)
            during();
    }
};

} // namespace

TEST(KaObserver, RegistrationStaysInStepOnBothSides) {
    KaStandardNotifier first, second;
    KaObserver observer(&first);
    EXPECT_EQ(observer.GetNotifyParent(), &first);

    EXPECT_FALSE(second.AddObserver(&observer));
    EXPECT_FALSE(second.AddObserver(nullptr));
    observer.SetNotifyParent(&second);
    EXPECT_EQ(observer.GetNotifyParent(), &first);
    EXPECT_FALSE(second.RemoveObserver(&observer));
    EXPECT_EQ(first.GetObserverCount(), 1);

    observer.ChangeNotifyParent(&second);
    EXPECT_EQ(observer.GetNotifyParent(), &second);
    EXPECT_EQ(first.GetObserverCount(), 0);
    EXPECT_EQ(second.GetObserverCount(), 1);

    // A copy takes the link only; registering it afterwards works.
    KaObserver copy(observer);
    EXPECT_EQ(copy.GetNotifyParent(), nullptr);
    copy.SetNotifyParent(&first);
    EXPECT_EQ(first.GetObserverCount(), 1);

    observer.RemoveFromNotifyParent();
    EXPECT_EQ(observer.GetNotifyParent(), nullptr);
    EXPECT_EQ(second.GetObserverCount(), 0);
}

TEST(KaObserver, ReactionLinkGetsTheEvent) {
    struct Target : LinkHdl {
        KaNotifyEvent* seen = nullptr;
        long On(void* arg) {
            seen = static_cast<KaNotifyEvent*>(arg);
            return 0;
        }
    } target;
    KaStandardNotifier notifier;
    KaObserver observer(&notifier, Link(&target, &Target::On));
    KaObserver silent(&notifier);
    int item = 0;
    KaNotifyEvent event(KaNotifyEvent::Added, &notifier, &item);
    EXPECT_EQ(notifier.NotifyObservers(&event, nullptr), 2);
    EXPECT_EQ(target.seen, &event);
}

TEST(KaObserver, EitherSideMayDieFirst) {
    auto observer = std::make_unique<KaObserver>();
    {
        KaStandardNotifier notifier;
        notifier.AddObserver(observer.get());
        auto dying = std::make_unique<KaObserver>(&notifier);
        dying.reset();
        EXPECT_EQ(notifier.GetObserverCount(), 1);
    }
    EXPECT_EQ(observer->GetNotifyParent(), nullptr);
    observer.reset(); // must not touch the dead notifier
}

TEST(KaStandardNotifier, DeliversInOrderExceptOne) {
    KaStandardNotifier notifier;
    std::vector<int> order;
    Recording a(&notifier), b(&notifier), c(&notifier);
    a.during = [&] { order.push_back(1); };
    b.during = [&] { order.push_back(2); };
    c.during = [&] { order.push_back(3); };
    KaNotifyEvent event(KaNotifyEvent::BulkChange, &notifier);
    EXPECT_EQ(notifier.NotifyObservers(&event, &b), 3);
    EXPECT_EQ(order, (std::vector<int>{1, 3}));

    KaStandardNotifier single;
    Recording only(&single);
    EXPECT_EQ(single.NotifyObservers(&event, &only), 1);
    EXPECT_TRUE(only.codes.empty());
}

TEST(KaStandardNotifier, CopyStartsWithoutObservers) {
    KaStandardNotifier original;
    Recording observer(&original);
    {
        KaStandardNotifier copy(original);
        EXPECT_EQ(copy.GetObserverCount(), 0);
        copy = original;
        EXPECT_EQ(copy.GetObserverCount(), 0);
    }
    EXPECT_EQ(observer.GetNotifyParent(), &original);
    EXPECT_EQ(original.GetObserverCount(), 1);
}

TEST(KaStandardNotifier, ObserversChangingRegistrationsDuringDelivery) {
    KaStandardNotifier notifier;
    KaNotifyEvent event(KaNotifyEvent::Added, &notifier);

    // The first observer removes itself, deletes the third and registers a new one.
    auto first = std::make_unique<Recording>(&notifier);
    Recording second(&notifier);
    auto third = std::make_unique<Recording>(&notifier);
    Recording fourth(&notifier);
    Recording late;
    Recording* firstRaw = first.get();
    first->during = [&] {
        notifier.RemoveObserver(firstRaw);
        third.reset();
        notifier.AddObserver(&late);
    };
    EXPECT_EQ(notifier.NotifyObservers(&event), 4);
    EXPECT_EQ(first->codes.size(), 1u);
    EXPECT_EQ(second.codes.size(), 1u);
    EXPECT_EQ(fourth.codes.size(), 1u);
    EXPECT_TRUE(late.codes.empty());
    EXPECT_EQ(notifier.GetObserverCount(), 3);

    // The next event reaches exactly the current observers.
    second.during = [&] { notifier.RemoveAllObservers(); };
    EXPECT_EQ(notifier.NotifyObservers(&event), 3);
    EXPECT_EQ(second.codes.size(), 2u);
    EXPECT_EQ(fourth.codes.size(), 1u);
    EXPECT_TRUE(late.codes.empty());
    EXPECT_EQ(notifier.GetObserverCount(), 0);
    EXPECT_EQ(fourth.GetNotifyParent(), nullptr);
}

TEST(KaStandardNotifier, NestedDeliveryAndThrowingObserver) {
    KaStandardNotifier notifier;
    KaNotifyEvent outer(KaNotifyEvent::BulkChange, &notifier);
    KaNotifyEvent inner(KaNotifyEvent::Subtracted, &notifier);
    Recording a(&notifier);
    auto b = std::make_unique<Recording>(&notifier);
    a.during = [&] {
        if (a.codes.size() == 1) {
            notifier.NotifyObservers(&inner);
            b.reset(); // removed while the outer delivery is still running
        }
    };
    notifier.NotifyObservers(&outer);
    EXPECT_EQ(a.codes, (std::vector<int>{1, 3}));
    EXPECT_EQ(notifier.GetObserverCount(), 1);

    a.during = [] { throw 5; };
    EXPECT_THROW(notifier.NotifyObservers(&outer), int);
    a.during = nullptr;
    Recording c(&notifier);
    notifier.NotifyObservers(&inner);
    EXPECT_EQ(c.codes, (std::vector<int>{3}));
}
