#include "Controls/CompositeArray.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Strings = std::vector<std::string>;

CompositeArray<std::string> composite(std::vector<Strings> lists)
{
    CompositeArray<std::string> result;
    for (std::size_t k = 0; k < lists.size(); ++k) {
        result.arrays.push_back(std::make_shared<Strings>(std::move(lists[k])));
        result.headers.push_back("H" + std::to_string(k));
    }
    return result;
}

Strings flat(const CompositeArray<std::string>& items)
{
    Strings result;
    for (std::size_t i = 0; i < items.countOfItems(); ++i)
        result.push_back(*items.objectInItemsAtIndex(i));
    return result;
}

} // namespace

TEST(CompositeArray, FlattensHeadersAndMembersInOrder)
{
    const auto items = composite({{"a", "b"}, {"c", "d", "e"}});
    EXPECT_EQ(items.countOfItems(), 7u);
    EXPECT_EQ(flat(items), (Strings{"H0", "a", "b", "H1", "c", "d", "e"}));
    const auto header = items.arrayAtIndex(3);
    EXPECT_EQ(header->array, nullptr);
    EXPECT_EQ(header->index, 1u);
    const auto member = items.arrayAtIndex(5);
    EXPECT_EQ(member->array, items.arrays[1].get());
    EXPECT_EQ(member->index, 1u);
    EXPECT_EQ(items.compositeIndexForIndex(0, items.arrays[1].get()), 4u);
}

TEST(CompositeArray, EmptyListStillHasItsHeader)
{
    EXPECT_EQ(flat(composite({{"a"}, {}, {"b"}})), (Strings{"H0", "a", "H1", "H2", "b"}));
}

TEST(CompositeArray, InsertsAndRemovesThroughFlatIndices)
{
    auto items = composite({{"a", "b"}, {"c", "d", "e"}});
    items.insertObject("x", 3);
    EXPECT_EQ(*items.arrays[0], (Strings{"a", "b", "x"})) << "at header 1: appended to list 0";
    items.insertObject("y", 5);
    EXPECT_EQ(*items.arrays[1], (Strings{"y", "c", "d", "e"})) << "before the member there";
    items.insertObject("z", items.countOfItems());
    EXPECT_EQ(items.arrays[1]->back(), "z") << "past the end: appended to the last list";
    const auto before = flat(items);
    items.removeObjectFromItemsAtIndex(4);
    EXPECT_EQ(flat(items), before) << "a header slot removes nothing";
    items.removeObjectFromItemsAtIndex(1);
    EXPECT_EQ(*items.arrays[0], (Strings{"b", "x"}));
}

TEST(CompositeArray, IndicesOutsideTheListAreAnsweredWithNothing)
{
    auto items = composite({{"a"}});
    EXPECT_EQ(items.objectInItemsAtIndex(2), nullptr);
    items.insertObject("x", 0);
    items.insertObject("x", 9);
    items.removeObjectFromItemsAtIndex(9);
    EXPECT_EQ(flat(items), (Strings{"H0", "a"}));
    const Strings stranger;
    EXPECT_FALSE(items.compositeIndexForIndex(0, &stranger));
    EXPECT_EQ(CompositeArray<std::string>{}.objectInItemsAtIndex(0), nullptr);
}
