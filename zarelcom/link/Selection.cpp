#include "link/Selection.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <zarelcom/zarelcom.h>

// A link made by zc_link_new. The handle a caller holds is the link's number, never its address:
// numbers are not reused, so a stale handle can never name a link made later.
struct LinkEntry {
    Link link;
    std::atomic<bool> freed{false};
};

namespace {

std::mutex registryLock;
std::unordered_map<std::uintptr_t, std::shared_ptr<LinkEntry>> liveLinks;
std::uintptr_t lastNumber = 0;

std::uintptr_t NumberOf(const zc_link *handle) { return reinterpret_cast<std::uintptr_t>(handle); }
zc_link *HandleOf(std::uintptr_t number) { return reinterpret_cast<zc_link *>(number); }

// What the calling thread's exports act on. An entry freed meanwhile stays in memory while the
// thread has it selected, so that its calls fail cleanly instead of touching freed memory.
struct ThreadSelection {
    std::shared_ptr<LinkEntry> entry; // null: the process-wide link
    zc_link *handle = nullptr;
    bool refused = false; // the thread's latest selection named no live link
};

thread_local ThreadSelection selection;

} // namespace

HeldLink::HeldLink() noexcept : entry_(selection.entry), refused_(selection.refused) {}
HeldLink::~HeldLink() = default;

Link &HeldLink::Get() const noexcept { return entry_ ? entry_->link : ProcessLink(); }

bool HeldLink::Freed() const noexcept { return entry_ && entry_->freed; }

const char *const kNoSuchLink =
    "No such link: it was freed or never made by zc_link_new; this thread's calls fail until it"
    " selects a live link, or null for the process-wide one (Error: -1)";

extern "C" {

ZARELCOM_API zc_link *ZARELCOM_CALL zc_link_new(void) {
    try {
        auto entry = std::make_shared<LinkEntry>();
        const std::lock_guard<std::mutex> lock(registryLock);
        if (lastNumber == UINTPTR_MAX) return nullptr; // every number was handed out once
        liveLinks.emplace(++lastNumber, std::move(entry));
        return HandleOf(lastNumber);
    } catch (...) {
        return nullptr;
    }
}

ZARELCOM_API void ZARELCOM_CALL zc_link_free(zc_link *link) {
    std::shared_ptr<LinkEntry> gone; // released after the lock, when no thread or call holds it
    const std::lock_guard<std::mutex> lock(registryLock);
    const auto found = liveLinks.find(NumberOf(link));
    if (found == liveLinks.end()) return;
    gone = std::move(found->second);
    gone->freed = true;
    liveLinks.erase(found);
}

ZARELCOM_API zc_link *ZARELCOM_CALL zc_link_select(zc_link *link) {
    std::shared_ptr<LinkEntry> next;
    if (link) {
        const std::lock_guard<std::mutex> lock(registryLock);
        const auto found = liveLinks.find(NumberOf(link));
        if (found != liveLinks.end()) next = found->second;
    }
    const bool wasLive = !selection.refused && !(selection.entry && selection.entry->freed);
    zc_link *previous = wasLive ? selection.handle : nullptr;
    const std::shared_ptr<LinkEntry> left = std::move(selection.entry);
    selection.refused = link && !next;
    selection.handle = next ? link : nullptr;
    selection.entry = std::move(next);
    return previous;
}

} // extern "C"
