#pragma once

#include "Detection/Records.h"
#include "Detection/ScanResult.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// A process-wide list that several threads use: the scan's matching replaces the
// records on its worker, the screens change the results on the main thread while
// the clean's worker reads them. Every access goes through the list's own lock;
// callers take copies (snapshot) or change it in place under the lock (update),
// never keep a reference to an element.
template <class Element>
class SharedList {
public:
    std::vector<Element> snapshot() const
    {
        const std::lock_guard lock(mutex_);
        return elements_;
    }

    void replace(std::vector<Element> elements)
    {
        const std::lock_guard lock(mutex_);
        elements_ = std::move(elements);
    }

    void clear() { replace({}); }

    bool empty() const
    {
        const std::lock_guard lock(mutex_);
        return elements_.empty();
    }

    std::size_t size() const
    {
        const std::lock_guard lock(mutex_);
        return elements_.size();
    }

    // Runs `change` on the list under the lock; `change` must not touch the list
    // through another call.
    template <class Change>
    auto update(Change&& change)
    {
        const std::lock_guard lock(mutex_);
        return std::forward<Change>(change)(elements_);
    }

private:
    mutable std::mutex mutex_;
    std::vector<Element> elements_;
};

// A process-wide list that is never changed in place: readers share the current
// list, read-only and without a copy, for as long as they hold it; a reload puts
// a new list in its place whole, so a reader sees the old list or the new one.
template <class Element>
class ImmutableSharedList {
public:
    using List = std::shared_ptr<const std::vector<Element>>;

    List current() const
    {
        const std::lock_guard lock(mutex_);
        return elements_;
    }

    // Puts `elements` in place of the current list; the list now current.
    List replace(std::vector<Element> elements)
    {
        List list = std::make_shared<const std::vector<Element>>(std::move(elements));
        const std::lock_guard lock(mutex_);
        elements_.swap(list); // the old list is released, if last held here, after the lock
        return elements_;
    }

    void clear() { replace({}); }
    bool empty() const { return current()->empty(); }
    std::size_t size() const { return current()->size(); }

private:
    mutable std::mutex mutex_;
    List elements_ = std::make_shared<const std::vector<Element>>();
};

// Every record loaded last from the database (by the scan's matching in the
// application, at start-up and after each definitions install in the agent).
ImmutableSharedList<MalwareList>& malwareRecords();

// The rows of the scan results (filled by the Overview screen when a scan ends,
// emptied when a scan starts, read by the clean).
SharedList<ScanResult>& scanResults();
