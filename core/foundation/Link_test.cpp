#include "foundation/Link.h"

#include <gtest/gtest.h>

namespace {

struct Counter : LinkHdl {
    int calls = 0;
    void* last = nullptr;
    long Hit(void* arg) {
        ++calls;
        last = arg;
        return 10 + calls;
    }
    long Other(void*) { return -1; }
};

struct Base {
    virtual ~Base() = default;
    virtual long Which(void*) { return 1; }
    int padding = 0;
};

struct Extra {
    virtual ~Extra() = default;
    long Tag(void*) { return tag; }
    long tag = 77;
};

// Extra is not the first base, so binding its member needs a pointer adjustment.
struct Derived : Base, Extra {
    long Which(void*) override { return 2; }
};

} // namespace

TEST(Link, EmptyLinkCallsNothing) {
    Link empty;
    EXPECT_EQ(empty.IsSet(), 0);
    EXPECT_TRUE(!empty);
    EXPECT_EQ(empty.Call(nullptr), 0);

    Counter* none = nullptr;
    Link noTarget(none, &Counter::Hit);
    EXPECT_EQ(noTarget.IsSet(), 0);
    EXPECT_EQ(noTarget.Call(nullptr), 0);

    Counter counter;
    long (Counter::*noFunction)(void*) = nullptr;
    Link unbound(&counter, noFunction);
    EXPECT_TRUE(!unbound);
    EXPECT_EQ(unbound.Call(nullptr), 0);
    EXPECT_EQ(counter.calls, 0);
}

TEST(Link, CallsTheBoundMemberWithItsArgument) {
    Counter counter;
    int payload = 0;
    Link link(&counter, &Counter::Hit);
    EXPECT_EQ(link.IsSet(), 1);
    EXPECT_FALSE(!link);
    EXPECT_EQ(link.Call(&payload), 11);
    EXPECT_EQ(counter.last, &payload);

    Link copy(link);
    Link assigned;
    assigned = copy;
    EXPECT_EQ(assigned.Call(nullptr), 12);
    EXPECT_EQ(counter.calls, 2);
}

TEST(Link, BindsVirtualAndBaseMembersThroughDerivedObjects) {
    Derived d;
    EXPECT_EQ(Link(&d, &Base::Which).Call(nullptr), 2);
    EXPECT_EQ(Link(&d, &Extra::Tag).Call(nullptr), 77);
    EXPECT_EQ(Link(&d, &Extra::Tag).GetTarget(), static_cast<Extra*>(&d));
}

TEST(Link, EqualityMeansSameObjectAndMember) {
    Counter a, b;
    EXPECT_TRUE(Link(&a, &Counter::Hit) == Link(&a, &Counter::Hit));
    EXPECT_FALSE(Link(&a, &Counter::Hit) == Link(&b, &Counter::Hit));
    EXPECT_FALSE(Link(&a, &Counter::Hit) == Link(&a, &Counter::Other));
    EXPECT_FALSE(Link(&a, &Counter::Hit) == Link());
    EXPECT_TRUE(Link() == Link());
}
