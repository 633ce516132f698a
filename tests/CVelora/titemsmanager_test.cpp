// Numbered item stores: slot reuse, duplicates, tag iteration and the plain-text errors.
#include "CVelora/cvelora_itemsmanager.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace
{
struct Item
{
    explicit Item(int v, int* deleted = nullptr) : value(v), deletedCounter(deleted) {}
    ~Item()
    {
        if (deletedCounter != nullptr)
            ++*deletedCounter;
    }
    int value;
    int* deletedCounter;
};

struct RefItem
{
    int refs = 1;
    int Release() { return --refs; }
};
} // namespace

TEST(TItemsManager, FreedSlotsAreReusedAndCountOnlyGrows)
{
    TItemsManager<Item> store;
    EXPECT_EQ(store.AddItem(new Item(1), "a", 0), 0);
    EXPECT_EQ(store.AddItem(new Item(2), "b", 0), 1);
    EXPECT_EQ(store.AddItem(new Item(3), "c", 0), 2);
    store.FreeItem(1);
    EXPECT_EQ(store.FindItem("b"), -1);
    EXPECT_EQ(store.GetName(1), "");
    EXPECT_EQ(store.AddItem(new Item(4), "d", 0), 1);
    EXPECT_EQ(store.AddItem(new Item(5), "e", 0), 3);
    EXPECT_EQ(store.GetCount(), 4);
    EXPECT_EQ(store.GetItem(1)->value, 4);
    store.FreeAllItems();
}

TEST(TItemsManager, DuplicateNameReturnsExistingSlotAndStoresNothing)
{
    TItemsManager<Item> store;
    store.AddItem(new Item(1), "a", 3);
    Item duplicate(2);
    EXPECT_EQ(store.AddItem(&duplicate, "a", 9), 0);
    EXPECT_EQ(store.GetCount(), 1);
    EXPECT_EQ(store.GetItem(0)->value, 1);
    EXPECT_EQ(store.GetTag(0), 3);
    store.FreeAllItems();
}

TEST(TItemsManager, FreeItemOutOfRangeThrowsPlainTextAndFreeSlotIsSilent)
{
    TItemsManager<Item> store;
    int deleted = 0;
    store.AddItem(new Item(1, &deleted), "a", 0);
    for (int bad : {-1, 1})
    {
        try
        {
            store.FreeItem(bad);
            FAIL() << "no exception for " << bad;
        }
        catch (const char* text)
        {
            EXPECT_STREQ(text, "Error in TItemsManager<T>::FreeItem");
        }
    }
    store.FreeItem(0);
    EXPECT_EQ(deleted, 1);
    EXPECT_NO_THROW(store.FreeItem(0));
    EXPECT_FALSE(store.DeleteItem(0));
    EXPECT_FALSE(store.DeleteItem(5));
    EXPECT_EQ(deleted, 1);
}

TEST(TItemsManager, FreeAllItemsKeepsSlotsAndEmptiesThem)
{
    TItemsManager<Item> empty;
    EXPECT_NO_THROW(empty.FreeAllItems());

    TItemsManager<Item> store;
    int deleted = 0;
    for (const char* name : {"a", "b", "c"})
        store.AddItem(new Item(0, &deleted), name, 0);
    store.FreeAllItems();
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(store.GetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(store.GetItem(i), nullptr);
    EXPECT_THROW(store.GetItem(3), std::out_of_range);
}

TEST(TItemsManager, IterationByTag)
{
    TItemsManager<Item> store;
    store.AddItem(new Item(0), "s0", 5);
    store.AddItem(new Item(1), "s1", 7);
    store.AddItem(new Item(2), "s2", 5);

    Item* item = store.GetFirstItem(5);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->value, 0);
    item = store.GetNextItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->value, 2);
    EXPECT_EQ(store.GetNextItem(), nullptr);
    EXPECT_EQ(store.GetNextItem(), nullptr);

    int seen = 0;
    for (Item* it = store.GetFirstItem(0); it != nullptr; it = store.GetNextItem())
        ++seen;
    EXPECT_EQ(seen, 3);

    // Items freed during an iteration are skipped.
    store.GetFirstItem(0);
    store.FreeItem(1);
    item = store.GetNextItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->value, 2);

    store.FreeAllItems();
    EXPECT_EQ(store.GetFirstItem(0), nullptr);
    EXPECT_EQ(store.GetIterationCursor(), -1);
    EXPECT_EQ(store.GetNextItem(), nullptr);
}

TEST(TItemsManagerCOM, ReleasesOneReferencePerSlot)
{
    TItemsManagerCOM<RefItem> store;
    RefItem shared;
    shared.refs = 2;
    RefItem single;
    store.AddItem(&shared, "shared", 0);
    store.AddItem(&single, "single", 0);

    store.FreeItem(1);
    EXPECT_EQ(single.refs, 0);
    EXPECT_EQ(store.GetItem(1), nullptr);

    try
    {
        store.FreeItem(0);
        FAIL() << "no exception";
    }
    catch (const char* text)
    {
        EXPECT_STREQ(text, "Unreleased object references left!");
    }
    EXPECT_EQ(store.GetItem(0), &shared); // the slot keeps its pointer
    EXPECT_EQ(store.FindItem("shared"), 0);

    try
    {
        store.FreeItem(2);
        FAIL() << "no exception";
    }
    catch (const char* text)
    {
        EXPECT_STREQ(text, "Error in TItemsManagerCOM<T>::FreeItem");
    }
}
