// Links made by callers, and which one each thread's exports act on. A link freed while a thread
// still has it selected stays in memory, refusing that thread's exports, until the thread selects
// another or ends: a caller's mistake gives a clear error instead of a crash.
#include "link/Selection.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <set>

#include <zarelcom/zarelcom.h>

struct zc_link {
    Link link;
    std::atomic<bool> freed{false};
    int selections = 0; // threads that have it selected; under the registry lock
};

namespace {

std::mutex registryLock;
std::set<zc_link *> liveLinks;

// Under the registry lock: one thread fewer has the link selected; the last one frees a link that
// was freed meanwhile.
std::unique_ptr<zc_link> Deselect(zc_link *link) {
    if (!link || --link->selections > 0 || !link->freed) return nullptr;
    return std::unique_ptr<zc_link>(link);
}

class ThreadSelection {
public:
    ~ThreadSelection() { Change(nullptr); }
    zc_link *Current() const { return current_; }

    // Selects next (null: the process-wide link) and returns the link selected before (null for
    // the process-wide one, and for one freed meanwhile). A next that is not a live link is
    // refused: nothing changes and the result is null with refused set.
    zc_link *Change(zc_link *next, bool *refused = nullptr) {
        std::unique_ptr<zc_link> gone;
        const std::lock_guard<std::mutex> lock(registryLock);
        if (next && liveLinks.count(next) == 0) {
            if (refused) *refused = true;
            return nullptr;
        }
        zc_link *previous = current_;
        if (next) ++next->selections;
        current_ = next;
        gone = Deselect(previous);
        return previous && !previous->freed ? previous : nullptr;
    }

private:
    zc_link *current_ = nullptr;
};

thread_local ThreadSelection selection;

} // namespace

Link &SelectedLink() noexcept {
    zc_link *current = selection.Current();
    return current ? current->link : ProcessLink();
}

bool SelectedLinkFreed() noexcept {
    const zc_link *current = selection.Current();
    return current && current->freed;
}

extern "C" {

ZARELCOM_API zc_link *ZARELCOM_CALL zc_link_new(void) {
    try {
        auto link = std::make_unique<zc_link>();
        const std::lock_guard<std::mutex> lock(registryLock);
        liveLinks.insert(link.get());
        return link.release();
    } catch (...) {
        return nullptr;
    }
}

ZARELCOM_API void ZARELCOM_CALL zc_link_free(zc_link *link) {
    std::unique_ptr<zc_link> gone;
    {
        const std::lock_guard<std::mutex> lock(registryLock);
        if (!link || liveLinks.erase(link) == 0) return;
        link->freed = true;
        if (link->selections == 0) gone.reset(link);
    }
}

ZARELCOM_API zc_link *ZARELCOM_CALL zc_link_select(zc_link *link) {
    bool refused = false;
    zc_link *previous = selection.Change(link, &refused);
    if (!refused) return previous;
    SelectedLink().lastPortError.Keep(
        "No such link: it was freed or never made by zc_link_new (Error: -1)");
    return selection.Current();
}

} // extern "C"
