#pragma once

#include "Detection/Records.h"
#include "Detection/ScanResult.h"

#include <functional>
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

// Every record the last scan loaded from the database (replaced by the matching).
SharedList<MalwareList>& malwareRecords();

// The rows of the scan results (filled by the Overview screen when a scan ends,
// emptied when a scan starts, read by the clean).
SharedList<ScanResult>& scanResults();
