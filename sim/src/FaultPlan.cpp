#include "FaultPlan.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace zarelsim {
namespace {

struct KindName {
    FaultKind kind;
    const char* name;
    uint32_t defaultValue;
};

const KindName kKinds[] = {{FaultKind::StrayBytes, "stray", 3},
                           {FaultKind::TruncatedReply, "truncate", 0},
                           {FaultKind::ErrorReply, "error", 7},
                           {FaultKind::Silence, "silence", 0},
                           {FaultKind::WrongReplyCode, "wrongcode", '?'},
                           {FaultKind::Delay, "delay", 500},
                           {FaultKind::HangUp, "hangup", 1},
                           {FaultKind::SlowDrip, "drip", 5}};

const KindName& Kind(FaultKind kind) {
    return *std::find_if(std::begin(kKinds), std::end(kKinds),
                         [&](const KindName& k) { return k.kind == kind; });
}

uint32_t Number(const std::string& text, const std::string& what) {
    size_t used = 0;
    unsigned long value = 0;
    try {
        value = std::stoul(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size() || value > UINT32_MAX)
        throw std::invalid_argument("the " + what + " \"" + text + "\" is not a number");
    return uint32_t(value);
}

} // namespace

Fault ParseFault(const std::string& text) {
    std::string rest = text;
    Fault fault;
    if (const size_t slash = rest.rfind('/'); slash != std::string::npos) {
        fault.every = Number(rest.substr(slash + 1), "repeat count after '/' in fault " + text);
        if (fault.every == 0)
            throw std::invalid_argument("fault " + text +
                                        ": the repeat count after '/' must be 1 or more");
        rest.erase(slash);
    }
    if (const size_t at = rest.find('@'); at != std::string::npos) {
        const std::string list = rest.substr(at + 1);
        rest.erase(at);
        size_t from = 0;
        while (from <= list.size()) {
            size_t comma = list.find(',', from);
            if (comma == std::string::npos) comma = list.size();
            const std::string token = list.substr(from, comma - from);
            if (token.size() == 1)
                fault.commands.push_back(uint8_t(token[0]));
            else if (token.size() > 2 && token.compare(0, 2, "0x") == 0 &&
                     Number(token, "command") <= 0xFF)
                fault.commands.push_back(uint8_t(Number(token, "command")));
            else
                throw std::invalid_argument("fault " + text + ": the command \"" + token +
                                            "\" is neither one character nor 0xHH");
            from = comma + 1;
        }
    }
    std::string valueText;
    if (const size_t colon = rest.find(':'); colon != std::string::npos) {
        valueText = rest.substr(colon + 1);
        rest.erase(colon);
    }
    const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                   [&](const KindName& k) { return rest == k.name; });
    if (kind == std::end(kKinds))
        throw std::invalid_argument(
            "unknown fault \"" + rest +
            "\": use stray, truncate, error, silence, wrongcode, delay, hangup or drip");
    fault.kind = kind->kind;
    if (!valueText.empty()) fault.value = Number(valueText, "value of fault " + text);
    if ((fault.kind == FaultKind::ErrorReply || fault.kind == FaultKind::WrongReplyCode) &&
        fault.value.value_or(0) > 0xFF)
        throw std::invalid_argument("fault " + text + ": the value must fit in one byte");
    return fault;
}

std::string DescribeFault(const Fault& fault) {
    std::string text = Kind(fault.kind).name;
    if (fault.value) text += ":" + std::to_string(*fault.value);
    for (size_t i = 0; i < fault.commands.size(); ++i) {
        char command[8];
        std::snprintf(command, sizeof command, "0x%02X", fault.commands[i]);
        text += (i == 0 ? "@" : ",") + std::string(command);
    }
    if (fault.every != 1) text += "/" + std::to_string(fault.every);
    return text;
}

Strike FaultPlan::For(uint8_t command, bool startsTransfer) {
    Strike strike;
    for (Rule& rule : rules_) {
        const Fault& f = rule.fault;
        const bool covered = f.commands.empty()
                                 ? (f.kind != FaultKind::HangUp || startsTransfer)
                                 : std::count(f.commands.begin(), f.commands.end(), command) > 0;
        if (!covered || ++rule.matches % f.every != 0) continue;
        const uint32_t value = f.value.value_or(Kind(f.kind).defaultValue);
        switch (f.kind) {
        case FaultKind::StrayBytes:
            strike.strayBytes += value;
            break;
        case FaultKind::TruncatedReply:
            strike.keepBytes = value;
            break;
        case FaultKind::ErrorReply:
            strike.errorNumber = uint8_t(value);
            break;
        case FaultKind::Silence:
            strike.silence = true;
            break;
        case FaultKind::WrongReplyCode:
            strike.wrongCode = uint8_t(value);
            break;
        case FaultKind::Delay:
            strike.delayMs += value;
            break;
        case FaultKind::HangUp:
            strike.hangUpAfter = value;
            break;
        case FaultKind::SlowDrip:
            strike.dripMs = value;
            break;
        }
    }
    return strike;
}

} // namespace zarelsim
