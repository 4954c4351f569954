#pragma once
// TVxObjectList: an ordered list that owns its items. Deleting an entry frees
// its item; freeing the list frees them all. Extract hands an item back to
// the caller without freeing it. An index outside the list raises EListError.

#include <brindle/foundations/errors.h>

#include <iterator>
#include <memory>
#include <vector>

namespace brindle {

template <typename T>
class TVxObjectList {
public:
    TVxObjectList() = default;
    TVxObjectList(const TVxObjectList&) = delete;
    TVxObjectList& operator=(const TVxObjectList&) = delete;
    // Moving hands the items over whole, as a build hands its statement on.
    TVxObjectList(TVxObjectList&&) noexcept = default;
    TVxObjectList& operator=(TVxObjectList&&) noexcept = default;
    virtual ~TVxObjectList() = default;

    int Count() const { return static_cast<int>(FItems.size()); }
    bool IsEmpty() const { return FItems.empty(); }

    T* GetItem(int index) const { return FItems[check(index)].get(); }
    T* operator[](int index) const { return GetItem(index); }

    // Takes ownership; returns the new index.
    int Add(std::unique_ptr<T> item)
    {
        FItems.push_back(std::move(item));
        return Count() - 1;
    }
    void Insert(int index, std::unique_ptr<T> item)
    {
        if (index < 0 || index > Count())
            outOfBounds(index);
        FItems.insert(FItems.begin() + index, std::move(item));
    }
    // Frees the item at the index and removes the entry.
    void Delete(int index)
    {
        // Move the item out first so that its destructor sees the list without it.
        std::unique_ptr<T> gone = std::move(FItems[check(index)]);
        FItems.erase(FItems.begin() + index);
    }
    // Replaces the item at the index, freeing the old one.
    void SetItem(int index, std::unique_ptr<T> item)
    {
        std::unique_ptr<T> old = std::move(FItems[check(index)]);
        FItems[index] = std::move(item);
    }
    // Removes the entry and gives its item to the caller.
    std::unique_ptr<T> Extract(int index)
    {
        std::unique_ptr<T> item = std::move(FItems[check(index)]);
        FItems.erase(FItems.begin() + index);
        return item;
    }
    // Takes out every item the predicate picks, in one pass, keeping the
    // order of the rest; the caller owns what comes out, in list order.
    template <typename Pick>
    std::vector<std::unique_ptr<T>> ExtractIf(Pick pick)
    {
        std::vector<std::unique_ptr<T>> taken;
        auto kept = FItems.begin();
        for (auto it = FItems.begin(); it != FItems.end(); ++it) {
            if (pick(it->get()))
                taken.push_back(std::move(*it));
            else if (kept++ != it)
                *std::prev(kept) = std::move(*it);
        }
        FItems.erase(kept, FItems.end());
        return taken;
    }
    int IndexOf(const T* item) const
    {
        for (std::size_t i = 0; i < FItems.size(); ++i)
            if (FItems[i].get() == item)
                return static_cast<int>(i);
        return -1;
    }
    void Move(int from, int to)
    {
        check(from);
        check(to);
        std::unique_ptr<T> item = std::move(FItems[from]);
        FItems.erase(FItems.begin() + from);
        FItems.insert(FItems.begin() + to, std::move(item));
    }
    // Frees every item, last to first.
    void Clear()
    {
        while (!FItems.empty()) {
            std::unique_ptr<T> gone = std::move(FItems.back());
            FItems.pop_back();
        }
    }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::size_t check(int index) const
    {
        if (index < 0 || index >= Count())
            outOfBounds(index);
        return static_cast<std::size_t>(index);
    }
    [[noreturn]] static void outOfBounds(int index)
    {
        throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
    }

    std::vector<std::unique_ptr<T>> FItems;
};

} // namespace brindle
