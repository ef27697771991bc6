#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

// Presents member lists, each preceded by a header, as one flat list "items": header 0,
// the members of list 0, header 1, the members of list 1, and so on. The owner keeps
// the lists (shared, so their identity tells them apart) and edits them through here.
// Indices outside the flat list are answered with nothing and change nothing.
// Main thread only.
template <class Item>
class CompositeArray {
public:
    using List = std::vector<Item>;

    std::vector<std::shared_ptr<List>> arrays;
    std::vector<Item> headers;

    // Where a flat index lies: a member (its list and index in it) or header `index`.
    struct Slot {
        List* array = nullptr; // null for a header
        std::size_t index = 0;
    };

    std::size_t countOfItems() const
    {
        std::size_t count = arrays.size();
        for (const auto& array : arrays)
            count += array->size();
        return count;
    }

    std::optional<Slot> arrayAtIndex(std::size_t flatIndex) const
    {
        std::size_t remaining = flatIndex;
        for (std::size_t k = 0; k < arrays.size(); ++k) {
            if (remaining == 0)
                return Slot{nullptr, k};
            --remaining;
            if (remaining < arrays[k]->size())
                return Slot{arrays[k].get(), remaining};
            remaining -= arrays[k]->size();
        }
        return std::nullopt;
    }

    // The header or the member at that slot; null outside the list or for a header
    // without a header object.
    const Item* objectInItemsAtIndex(std::size_t flatIndex) const
    {
        const auto slot = arrayAtIndex(flatIndex);
        if (!slot)
            return nullptr;
        if (slot->array != nullptr)
            return &(*slot->array)[slot->index];
        return slot->index < headers.size() ? &headers[slot->index] : nullptr;
    }

    // At a member slot: inserts before that member. At the slot of header k (k >= 1):
    // appends to list k - 1. The slot just past the end appends to the last list.
    void insertObject(const Item& object, std::size_t flatIndex)
    {
        if (flatIndex == countOfItems() && !arrays.empty()) {
            arrays.back()->push_back(object);
            return;
        }
        const auto slot = arrayAtIndex(flatIndex);
        if (!slot)
            return;
        if (slot->array != nullptr)
            slot->array->insert(slot->array->begin() + static_cast<std::ptrdiff_t>(slot->index), object);
        else if (slot->index >= 1)
            arrays[slot->index - 1]->push_back(object);
    }

    // At a member slot: removes that member. At a header slot: nothing.
    void removeObjectFromItemsAtIndex(std::size_t flatIndex)
    {
        const auto slot = arrayAtIndex(flatIndex);
        if (slot && slot->array != nullptr)
            slot->array->erase(slot->array->begin() + static_cast<std::ptrdiff_t>(slot->index));
    }

    // The flat index of member `index` of `array`; null when the array is not one of these.
    std::optional<std::size_t> compositeIndexForIndex(std::size_t index, const List* array) const
    {
        std::size_t before = 0;
        for (const auto& candidate : arrays) {
            if (candidate.get() == array)
                return before + 1 + index;
            before += candidate->size() + 1;
        }
        return std::nullopt;
    }
};
