// The faults in force and which of them strike the request at hand.
#pragma once

#include <zarelsim/Fault.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace zarelsim {

// What strikes one request.
struct Strike {
    bool silence = false;
    std::optional<uint8_t> errorNumber;
    std::optional<uint8_t> wrongCode;
    std::optional<uint32_t> keepBytes; // 0: half of the reply
    uint32_t strayBytes = 0;
    uint32_t delayMs = 0;
    uint32_t dripMs = 0;
    std::optional<uint32_t> hangUpAfter;
};

class FaultPlan {
public:
    void Add(const Fault& fault) { rules_.push_back({fault, 0}); }
    void Clear() { rules_.clear(); }
    // Counts the request against every rule that covers `command` and gathers what fires.
    Strike For(uint8_t command, bool startsTransfer);

private:
    struct Rule {
        Fault fault;
        uint64_t matches;
    };
    std::vector<Rule> rules_;
};

} // namespace zarelsim
