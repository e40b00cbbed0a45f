#include <Engine/Util/SharedPointer.h>
#include <gtest/gtest.h>

using Engine::Util::SharedPointer;

namespace {

// Counts its destructions, so a test sees exactly when the datum is freed.
struct Tracked {
    explicit Tracked(int* deaths) : deaths(deaths) {}
    ~Tracked() { ++*deaths; }
    int value = 7;
    int* deaths;
};

} // namespace

TEST(SharedPointer, DefaultPointerSharesNothing) {
    SharedPointer<Tracked> empty;
    EXPECT_EQ(empty.Get(), nullptr);
    EXPECT_EQ(empty.GetCounter(), nullptr);
    EXPECT_EQ(empty.DataStoreLimit(), nullptr);
    SharedPointer<Tracked> copy(empty);
    EXPECT_EQ(copy.GetCounter(), nullptr);
    SharedPointer<Tracked> assigned;
    assigned = empty;
    EXPECT_EQ(assigned.GetCounter(), nullptr);
}

TEST(SharedPointer, LastHolderFreesTheDatumWithLimitZero) {
    int deaths = 0;
    {
        SharedPointer<Tracked> a(new Tracked(&deaths));
        EXPECT_EQ(a.GetCounter()->Count(), 1u);
        {
            SharedPointer<Tracked> b(a);
            EXPECT_EQ(a.GetCounter(), b.GetCounter());
            EXPECT_EQ(a.DataStoreLimit(), b.DataStoreLimit());
            EXPECT_EQ(a.GetCounter()->Count(), 2u);
        }
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(a.GetCounter()->Count(), 1u);
        EXPECT_EQ(a->value, 7);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(SharedPointer, SelfAssignmentKeepsTheCount) {
    int deaths = 0;
    SharedPointer<Tracked> a(new Tracked(&deaths));
    SharedPointer<Tracked>& alias = a;
    a = alias;
    EXPECT_EQ(a.GetCounter()->Count(), 1u);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(a->value, 7);
}

TEST(SharedPointer, StoreLimitFreesDataWhenLastUserLetsGo) {
    int deaths = 0;
    // The store's own reference lives longest.
    auto* store = new SharedPointer<Tracked>(new Tracked(&deaths));
    store->DataStoreLimit(1);
    {
        SharedPointer<Tracked> user(*store);
        EXPECT_EQ(*user.DataStoreLimit(), 1u) << "copies share the limit cell";
        EXPECT_EQ(user.GetCounter()->Count(), 2u);
        EXPECT_NE(user.operator->(), nullptr);
    }
    EXPECT_EQ(deaths, 1) << "data freed when the count falls to the limit";
    EXPECT_EQ(store->GetCounter()->Count(), 1u);
    EXPECT_EQ(store->operator->(), nullptr) << "a store's reference does not reach the data";
    delete store; // frees the counter and limit cell; the datum must not die twice
    EXPECT_EQ(deaths, 1);
}

TEST(SharedPointer, LimitSetThroughOneCopyAppliesToAll) {
    int deaths = 0;
    SharedPointer<Tracked> a(new Tracked(&deaths));
    SharedPointer<Tracked> b(a);
    b.DataStoreLimit(1);
    EXPECT_EQ(*a.DataStoreLimit(), 1u);
}

TEST(SharedPointer, AssignmentReleasesTheFormerDatumOnce) {
    int deathsA = 0;
    int deathsB = 0;
    SharedPointer<Tracked> a(new Tracked(&deathsA));
    SharedPointer<Tracked> b(new Tracked(&deathsB));
    a = b;
    EXPECT_EQ(deathsA, 1);
    EXPECT_EQ(deathsB, 0);
    EXPECT_EQ(a.Get(), b.Get());
    EXPECT_EQ(a.GetCounter(), b.GetCounter());
    EXPECT_EQ(a.DataStoreLimit(), b.DataStoreLimit());
    EXPECT_EQ(b.GetCounter()->Count(), 2u);
}
