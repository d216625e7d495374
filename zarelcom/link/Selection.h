// Which link the calling thread's exports act on.
#pragma once

#include <memory>

#include "link/Link.h"

struct LinkEntry;

// What GetLastPortError says on a thread whose latest selection was refused.
extern const char *const kNoSuchLink;

// The calling thread's selected link, kept in memory while the object lives: a call's link stays
// alive to the call's end even when the call's own callback, or another thread, frees it.
class HeldLink {
public:
    HeldLink() noexcept;
    ~HeldLink();
    HeldLink(const HeldLink &) = delete;
    HeldLink &operator=(const HeldLink &) = delete;

    Link &Get() const noexcept;
    // The thread's latest zc_link_select named no live link: its calls act on no link at all
    // (not even the process-wide one) until it selects again.
    bool Refused() const noexcept { return refused_; }
    // The thread's link was freed while selected.
    bool Freed() const noexcept;

private:
    std::shared_ptr<LinkEntry> entry_;
    bool refused_;
};
