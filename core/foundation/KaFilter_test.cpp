#include "foundation/KaFilter.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int asked = 0;

unsigned int CountingTrue(KaObject const*) {
    ++asked;
    return 1;
}

unsigned int Seven(KaObject const*) {
    return 7;
}

unsigned int OddId(KaObject const* object) {
    return object->GetId() % 2;
}

} // namespace

TEST(KaFilter, ShortCircuitsAndNormalisesResults) {
    KaObject object(3);
    asked = 0;
    EXPECT_EQ(KaAndFilter(new KaFalseFilter, new KaTestFilter(CountingTrue)).Test(&object), 0u);
    EXPECT_EQ(KaOrFilter(new KaTrueFilter, new KaTestFilter(CountingTrue)).Test(&object), 1u);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(KaAndFilter(new KaTrueFilter, new KaTestFilter(CountingTrue)).Test(&object), 1u);
    EXPECT_EQ(KaOrFilter(new KaFalseFilter, new KaTestFilter(CountingTrue)).Test(&object), 1u);
    EXPECT_EQ(asked, 2);

    EXPECT_EQ(KaTestFilter(Seven).Test(&object), 7u);
    EXPECT_EQ(KaNotFilter(new KaTestFilter(Seven)).Test(&object), 0u);
    EXPECT_EQ(KaOrFilter(new KaTestFilter(Seven), new KaFalseFilter).Test(&object), 1u);
    EXPECT_EQ(KaAndFilter(new KaTrueFilter, new KaTestFilter(Seven)).Test(&object), 1u);
    EXPECT_EQ(KaNotFilter(new KaFalseFilter).Test(&object), 1u);

    // Missing operands or predicates select nothing instead of crashing.
    EXPECT_EQ(KaTestFilter(nullptr).Test(&object), 0u);
    EXPECT_EQ(KaNotFilter(nullptr).Test(&object), 1u);
    EXPECT_EQ(KaOrFilter(nullptr, nullptr).Test(&object), 0u);
}

TEST(KaFilter, CopiesOwnTheirOperands) {
    KaObject odd(3), even(4);
    auto original =
        std::make_unique<KaAndFilter>(new KaNotFilter(new KaFalseFilter), new KaTestFilter(OddId));
    KaAndFilter copy(*original);
    KaAndFilter assigned(new KaFalseFilter, nullptr);
    assigned = *original;
    std::unique_ptr<KaFilter> clone(original->Clone());
    original.reset(); // the copies must not share what it deleted
    for (KaFilter const* f : {static_cast<KaFilter const*>(&copy), static_cast<KaFilter const*>(&assigned),
                              static_cast<KaFilter const*>(clone.get())}) {
        EXPECT_EQ(f->Test(&odd), 1u);
        EXPECT_EQ(f->Test(&even), 0u);
    }

    KaNotFilter notOdd(new KaTestFilter(OddId));
    KaNotFilter notCopy(notOdd);
    notCopy = notOdd;
    EXPECT_EQ(notCopy.Test(&even), 1u);

    KaTestFilter test(Seven);
    test = KaTestFilter(OddId);
    EXPECT_EQ(test.Test(&even), 0u);
}
