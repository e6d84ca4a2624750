#include "foundation/KaListHeader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Counts live instances so every test can prove each node is deleted exactly once.
class Node : public KaListnode {
public:
    static inline int live = 0;
    int tag = 0;

    explicit Node(unsigned int id, int tag_ = 0) : KaListnode(id), tag(tag_) { ++live; }
    Node(unsigned int id, String const& name) : KaListnode(id, name) { ++live; }
    Node(Node const& other) : KaListnode(other), tag(other.tag) { ++live; }
    Node& operator=(Node const&) = default;
    ~Node() override { --live; }
};

// Orders ascending by identifier, the way element classes returning a difference do.
class Ascending : public Node {
public:
    using KaListnode::Compare;
    using Node::Node;
    int Compare(KaListnode const* other) const override {
        return static_cast<int>(GetId()) - static_cast<int>(other->GetId());
    }
};

using List = TKaListHeader<Node>;

// Checks both directions of the links and the ends; returns the identifiers in order.
template <class T>
std::vector<unsigned int> Ids(TKaListHeader<T> const& list) {
    std::vector<unsigned int> forward;
    KaBaseListnode const* previous = nullptr;
    for (KaListnode* n = list.First(); n; n = n->Next()) {
        EXPECT_EQ(n->Previous(), previous);
        forward.push_back(n->GetId());
        previous = n;
    }
    EXPECT_EQ(list.Last(), previous);
    std::vector<unsigned int> backward;
    for (KaListnode* n = list.Last(); n; n = n->Previous())
        backward.insert(backward.begin(), n->GetId());
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(list.Count(), static_cast<int>(forward.size()));
    EXPECT_EQ(list.IsEmpty(), forward.empty());
    return forward;
}

using IdList = std::vector<unsigned int>;

// Records every event an observer receives.
class Recorder : public KaObserver {
public:
    using KaObserver::KaObserver;
    std::vector<std::pair<int, void*>> events;
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (auto const& e : events)
            codes.push_back(e.first);
        return codes;
    }

protected:
    void Notify(KaNotifyEvent* event) override { events.emplace_back(event->code, event->item); }
};

class ListTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(Node::live, 0); }
};

} // namespace

TEST_F(ListTest, LinksStayConsistentThroughEveryInsertionAndRemoval) {
    List list;
    Node* n2 = list.Insert(nullptr, new Node(2)); // into an empty list
    list.Add(new Node(4));
    Node* n1 = list.Insert(n2, new Node(1)); // new head
    list.Insert(list.Last(), new Node(3));   // between neighbours
    list.Push(new Node(5));
    EXPECT_EQ(Ids(list), (IdList{1, 2, 3, 4, 5}));
    EXPECT_EQ(list.Get(0), n1);
    EXPECT_EQ(list.Get(4)->GetId(), 5u);
    EXPECT_EQ(list.Get(5), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);

    std::unique_ptr<Node> middle(list.Subtract(2)); // by index
    EXPECT_EQ(middle->GetId(), 3u);
    EXPECT_EQ(middle->Next(), nullptr);
    EXPECT_EQ(middle->Previous(), nullptr);
    EXPECT_EQ(Ids(list), (IdList{1, 2, 4, 5}));
    std::unique_ptr<Node> head(list.SubtractFirst());
    std::unique_ptr<Node> tail(list.Pop());
    EXPECT_EQ(head.get(), n1);
    EXPECT_EQ(tail->GetId(), 5u);
    EXPECT_EQ(Ids(list), (IdList{2, 4}));

    // A node that is not in the list, or null, is left alone.
    EXPECT_EQ(list.Subtract(middle.get()), nullptr);
    EXPECT_EQ(list.Subtract(static_cast<Node*>(nullptr)), nullptr);
    EXPECT_EQ(list.Index(middle.get()), -1);
    EXPECT_EQ(list.Index(n2), 0);
    EXPECT_FALSE(list.Exist(middle.get()));
    EXPECT_EQ(Ids(list), (IdList{2, 4}));

    std::unique_ptr<Node> four(list.Subtract(4u)); // by identifier
    std::unique_ptr<Node> only(list.Subtract(n2));
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Last(), nullptr);
    EXPECT_EQ(list.SubtractLast(), nullptr);
}

TEST_F(ListTest, SortedInsertAndStableSort) {
    List descending;
    for (unsigned int id : {2u, 5u, 1u, 5u, 3u})
        descending.SortedInsert(new Node(id, static_cast<int>(descending.Count())));
    EXPECT_EQ(Ids(descending), (IdList{5, 5, 3, 2, 1}));
    EXPECT_EQ(descending.Get(0)->tag, 1); // the earlier 5 stays first
    EXPECT_EQ(descending.Get(1)->tag, 3);

    TKaListHeader<Ascending> ascending;
    IdList const keys{3, 1, 2, 1, 3, 2, 1, 4, 0, 2, 3};
    for (std::size_t i = 0; i < keys.size(); ++i)
        ascending.Add(new Ascending(keys[i], static_cast<int>(i)));
    EXPECT_EQ(ascending.Sort(), static_cast<int>(keys.size()));
    EXPECT_EQ(Ids(ascending), (IdList{0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4}));
    std::vector<int> tags;
    for (Node* n = ascending.First(); n; n = static_cast<Node*>(n->Next()))
        tags.push_back(n->tag);
    EXPECT_EQ(tags, (std::vector<int>{8, 1, 3, 6, 2, 5, 9, 0, 4, 10, 7}));

    // Sort builds the order SortedInsert would have built.
    TKaListHeader<Ascending> inserted;
    for (std::size_t i = 0; i < keys.size(); ++i)
        inserted.SortedInsert(new Ascending(keys[i], static_cast<int>(i)));
    std::vector<int> insertedTags;
    for (Node* n = inserted.First(); n; n = static_cast<Node*>(n->Next()))
        insertedTags.push_back(n->tag);
    EXPECT_EQ(insertedTags, tags);
}

TEST_F(ListTest, OwnershipOfNodes) {
    std::unique_ptr<Node> handedBack;
    {
        List list;
        list.Add(new Node(1));
        list.Add(new Node(2));
        list.Add(Node(3)); // a new copy
        handedBack.reset(list.Subtract(2u));
        EXPECT_EQ(Node::live, 3);
        list.Destroy();
        EXPECT_EQ(Node::live, 1);
        list.Add(new Node(7));
        list.Add(new Node(8));

        List other;
        other.Add(new Node(9));
        other = list; // deletes 9, copies 7 and 8
        EXPECT_EQ(Ids(other), (IdList{7, 8}));
        EXPECT_EQ(Node::live, 5);
        other = other;
        EXPECT_EQ(Node::live, 5);

        List copy(list);
        EXPECT_NE(copy.First(), list.First());
        EXPECT_EQ(Ids(copy), (IdList{7, 8}));

        // Adding a list to itself copies each node once.
        list += list;
        EXPECT_EQ(Ids(list), (IdList{7, 8, 7, 8}));

        // SubtractAll hands every node back without deleting it.
        std::vector<std::unique_ptr<Node>> loose;
        for (Node* n = list.First(); n; n = static_cast<Node*>(n->Next()))
            loose.emplace_back(n);
        list.SubtractAll();
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_EQ(loose[1]->Next(), nullptr);
        EXPECT_EQ(Node::live, 9);
    }
    EXPECT_EQ(handedBack->GetId(), 2u);
}

TEST_F(ListTest, ReplaceKeepsThePlaceOfTheOldNode) {
    List list;
    list.Add(new Node(1, 10));
    list.Add(new Node(2, 20));
    list.Add(new Node(3, 30));
    Node* replacement = new Node(2, 21);
    EXPECT_EQ(list.Replace(replacement), replacement);
    EXPECT_EQ(Ids(list), (IdList{1, 2, 3}));
    EXPECT_EQ(list.Get(1), replacement);
    EXPECT_EQ(Node::live, 3); // the old node was deleted

    list.Replace(Node(9, 90)); // absent: appended as a copy
    EXPECT_EQ(Ids(list), (IdList{1, 2, 3, 9}));
    EXPECT_EQ(list.Replace(replacement), replacement); // already in place: nothing happens
    EXPECT_EQ(Ids(list), (IdList{1, 2, 3, 9}));

    list.SortedReplace(new Node(5)); // absent: sorted in (descending order)
    EXPECT_EQ(list.First()->GetId(), 5u);
    list.SortedReplace(Node(3, 31));
    EXPECT_EQ(Ids(list), (IdList{5, 1, 2, 3, 9}));
    EXPECT_EQ(list.Find(3u)->tag, 31);
    EXPECT_EQ(list.Find(Node(9))->tag, 90);
    EXPECT_EQ(list.Find(Node(4)), nullptr);
    EXPECT_EQ(Node::live, 5);
}

TEST_F(ListTest, IdentifiersAndNames) {
    List list;
    EXPECT_EQ(list.GetFreeId(0), 1u);
    for (unsigned int id : {1u, 2u, 5u})
        list.Add(new Node(id));
    EXPECT_EQ(list.GetFreeId(0), 6u);
    EXPECT_EQ(list.GetFreeId(2), 3u);
    EXPECT_EQ(list.GetFreeId(4), 4u);
    EXPECT_EQ(list.GetFreeId(5), 6u);

    // The largest identifier (a temporary point) is taken: no wrap to 0.
    list.Add(new Node(0xFFFFFFFFu));
    EXPECT_EQ(list.GetFreeId(0), 3u);
    EXPECT_EQ(list.GetFreeId(0xFFFFFFFFu), 3u);
    delete list.SubtractLast();

    EXPECT_EQ(list.Renumber(10, nullptr, 10), 3);
    EXPECT_EQ(Ids(list), (IdList{10, 20, 30}));
    EXPECT_EQ(list.Renumber(7, list.Get(1), 1), 2);
    EXPECT_EQ(Ids(list), (IdList{10, 7, 8}));

    list.First()->SetName("Photo");
    list.Last()->SetName("photo");
    EXPECT_EQ(list.Find("PHOTO", false), list.First());
    EXPECT_EQ(list.Find("PHOTO", true), nullptr);
    EXPECT_EQ(list.Find("photo", true), list.Last());
    std::unique_ptr<Node> named(list.Subtract(String("PHOTO")));
    EXPECT_EQ(named->GetId(), 10u);
    EXPECT_EQ(list.Subtract(String("none")), nullptr);
}

TEST_F(ListTest, MoveToSplicesAndCopyToAppendsCopies) {
    List from, to;
    from.MoveTo(&to); // empty source: nothing happens
    for (unsigned int id : {1u, 2u})
        from.Add(new Node(id));
    Node* firstMoved = from.First();
    from.MoveTo(&to); // into an empty list
    EXPECT_TRUE(from.IsEmpty());
    EXPECT_EQ(Ids(to), (IdList{1, 2}));
    from.Add(new Node(3));
    from.Add(new Node(4));
    from.MoveTo(&to); // behind existing nodes
    EXPECT_EQ(Ids(to), (IdList{1, 2, 3, 4}));
    EXPECT_EQ(to.First(), firstMoved);
    EXPECT_TRUE(Ids(from).empty());
    from.MoveTo(nullptr);

    EXPECT_EQ(to.CopyTo(&from), 4);
    EXPECT_EQ(Ids(from), (IdList{1, 2, 3, 4}));
    EXPECT_EQ(Node::live, 8);
}

TEST_F(ListTest, NotificationsCarryCodeItemAndExceptions) {
    List list;
    Recorder observer(&list);
    Recorder skipped(&list);

    Node* a = list.Add(new Node(1));
    Node* b = list.Insert(a, new Node(2));
    std::unique_ptr<Node> gone(list.Subtract(a));
    list.NotifyChanged(b, &skipped);
    EXPECT_EQ(observer.events, (std::vector<std::pair<int, void*>>{{2, a}, {2, b}, {3, a}, {1, b}}));
    EXPECT_EQ(List::Cast(observer.events[1].second), b);
    EXPECT_EQ(skipped.Codes(), (std::vector<int>{2, 2, 3}));

    // Bulk operations send one summary event with no item.
    observer.events.clear();
    list.Sort();
    List other;
    other.Add(new Node(5));
    other.Add(new Node(6));
    list = other;
    list += other;
    list.Destroy();
    EXPECT_EQ(observer.events,
              (std::vector<std::pair<int, void*>>{{1, nullptr}, {1, nullptr}, {1, nullptr}, {1, nullptr}}));
    EXPECT_EQ(other.GetObserverCount(), 0); // observers never travel with copies
    EXPECT_EQ(List(list).GetObserverCount(), 0);
    EXPECT_EQ(list.GetObserverCount(), 2);
}

TEST_F(ListTest, SuspensionNests) {
    List list;
    Recorder observer(&list);
    list.SetNotify(false);
    list.SetNotify(false);
    list.SetNotify(false);
    list.SetNotify(true);
    list.SetNotify(true);
    EXPECT_FALSE(list.IsNotifyEnabled());
    list.Add(new Node(1));
    list.SetNotify(true);
    EXPECT_TRUE(list.IsNotifyEnabled());
    list.SetNotify(true); // never below zero
    list.SetNotify(false);
    EXPECT_FALSE(list.IsNotifyEnabled());
    list.Add(new Node(2));
    EXPECT_TRUE(observer.events.empty());

    list.SetNotify(false);
    list.ForceNotify();
    Node* c = list.Add(new Node(3));
    EXPECT_EQ(observer.events, (std::vector<std::pair<int, void*>>{{2, c}}));
}

TEST_F(ListTest, DestructionTellsObserversAndFreesThem) {
    Recorder observer;
    auto shortLived = std::make_unique<Recorder>();
    {
        List list;
        list.AddObserver(&observer);
        list.AddObserver(shortLived.get());
        shortLived.reset(); // an observer may go first
        list.Add(new Node(1));
        list.SetNotify(false);
        observer.events.clear();
    }
    // Destroy's summary is suspended; the destroyed event is not.
    EXPECT_EQ(observer.Codes(), (std::vector<int>{4}));
    EXPECT_EQ(observer.GetNotifyParent(), nullptr);

    Recorder second;
    {
        List list;
        list.AddObserver(&second);
        list.Add(new Node(1));
    }
    EXPECT_EQ(second.Codes(), (std::vector<int>{2, 1, 4}));
    EXPECT_EQ(second.GetNotifyParent(), nullptr);
}

TEST(KaListnode, CopiesStartUnlinkedAndAssignmentKeepsThePlace) {
    TKaListHeader<KaListnode> list;
    KaListnode* first = list.Add(new KaListnode(1, "one"));
    KaListnode* second = list.Add(new KaListnode(2, "two"));
    KaListnode copy(*first);
    EXPECT_EQ(copy.Next(), nullptr);
    EXPECT_EQ(copy.GetName().chars(), std::string("one"));
    *second = *first;
    EXPECT_EQ(second->Previous(), first);
    EXPECT_EQ(second->GetId(), 1u);
    EXPECT_EQ(list.Count(), 2);

    // The identifier order: +1 when this one is smaller.
    EXPECT_EQ(KaListnode(1).Compare(static_cast<KaListnode const*>(&copy)), 0);
    EXPECT_EQ(KaListnode(0).Compare(static_cast<KaListnode const*>(&copy)), 1);
    EXPECT_EQ(KaObject(5).Compare(3u), -1);
    EXPECT_EQ(KaBaseListnode().Compare(nullptr), 1);
}
