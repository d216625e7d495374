#include "Printer.h"

#include "Frame.h"
#include "PrinterFiles.h"

#include <algorithm>
#include <map>

namespace zarelsim {
namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int16_t Le16(const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); }
void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v);
    Put16(b, v >> 16);
}

// Payload length N of every command with a fixed one; 0: variable ("7", "=", "C").
const std::map<uint8_t, size_t>& PayloadLengths() {
    static const std::map<uint8_t, size_t> lengths{
        {'2', 2}, {'3', 3},  {'4', 2},   {'5', 9},  {'6', 2},   {'7', 0},  {'8', 2}, {'9', 17},
        {':', 4}, {';', 20}, {'<', 3},   {'=', 0},  {'>', 2},   {'?', 4},  {'@', 2}, {'A', 4},
        {'B', 2}, {'C', 0},  {'D', 2},   {'E', 2},  {'F', 3},   {'G', 2},  {'H', 3}, {'I', 2},
        {'M', 2}, {'N', 2},  {'P', 2},   {'R', 3},  {'S', 2},   {'T', 3},  {'U', 2}, {'V', 3},
        {'W', 2}, {'X', 3},  {'Y', 2},   {'Z', 10}, {'[', 2},   {'\\', 6}, {']', 2}, {'^', 6},
        {'_', 3}, {'`', 5},  {'a', 7},   {'c', 4},  {'d', 6},   {'e', 10}, {'f', 2}, {'g', 2},
        {'i', 2}, {'t', 2},  {'v', 9},   {'w', 26}, {'x', 31},  {'y', 4},  {'z', 9}, {'{', 4},
        {'|', 9}, {'}', 4},  {'~', 516}, {0x80, 2}, {0x81, 26}, {0xF0, 3}};
    return lengths;
}

bool ValidHourMinute(int v) { return v >= 0 && v <= 2359 && v % 100 < 60; }

Outcome Answer(uint8_t code, Bytes data = {}) {
    Outcome o;
    o.code = code;
    o.data = std::move(data);
    return o;
}

Outcome Done() {
    Outcome o;
    o.changed = true;
    return o;
}

} // namespace

bool Printer::StartsTransfer(uint8_t command) {
    switch (command) {
    case '|':
    case 'x':
    case 'z':
    case 'v':
    case 'w':
    case 0x81:
    case '{':
    case 'y':
        return true;
    default:
        return false;
    }
}

Outcome Printer::Refuse(uint8_t error) const { return Answer(kErrorCode, {error}); }

Outcome Printer::Handle(const Bytes& payload) {
    const uint8_t command = payload[1];
    const uint8_t* p = payload.data() + 2;
    const size_t n = payload.size();
    const auto length = PayloadLengths().find(command);
    if (length == PayloadLengths().end()) return Refuse(kUnknownCommand);
    if (length->second != 0 && length->second != n) return Refuse(kBadParameters);
    if (command == 0x80) {
        Outcome o;
        o.answer = false;
        o.after = Outcome::ToTerminalMode;
        return o;
    }
    if (StartsTransfer(command) || command == '~' || command == '}')
        return Transfer(command, p, n - 2);
    if (std::optional<Outcome> query = Query(command, p)) return *query;
    return Setting(command, p, n - 2);
}

std::optional<Outcome> Printer::Query(uint8_t command, const uint8_t* p) {
    PrinterState& s = state_;
    Bytes d;
    switch (command) {
    case '2':
        d = {s.messageNo};
        break;
    case '4': {
        const ClockFields c = s.Clock();
        Put16(d, uint32_t(c.year));
        for (int f : {c.month, c.day, c.hour, c.minute, c.second}) d.push_back(uint8_t(f));
        break;
    }
    case '6':
        d.push_back(uint8_t(s.dateFormat.size()));
        d.insert(d.end(), s.dateFormat.begin(), s.dateFormat.end());
        break;
    case '8':
        for (const Shift& shift : s.shifts)
            d.push_back(shift.code), Put16(d, uint16_t(shift.hourMinute));
        break;
    case ':': {
        if (p[0] >= kCounters) return Refuse(kOutOfRange);
        const Counter& c = s.counters[p[0]];
        d = {p[0], p[1]};
        for (int32_t v : c.values) Put32(d, uint32_t(v));
        Put32(d, uint32_t(c.on));
        break;
    }
    case '<': {
        const std::string& text = s.strings[p[0]];
        d = {p[0], uint8_t(text.size())};
        d.insert(d.end(), text.begin(), text.end());
        break;
    }
    case '>':
        Put16(d, uint16_t(s.rollHour));
        break;
    case '@':
        Put16(d, uint16_t(s.yearCode));
        break;
    case 'B':
        for (int32_t v : {s.serialNumber, s.modelNumber, s.firmwareVersion, s.referenceYear,
                          s.referenceMonthDay})
            Put32(d, uint32_t(v));
        break;
    case 'D':
        d = {s.inkStatus};
        break;
    case 'E':
        d = {s.printOn};
        break;
    case 'G':
        d = {s.taskNo};
        break;
    case 'I':
        d = s.systemData;
        d.resize(64, 0);
        break;
    case 'M':
        d = {uint8_t(s.LowestFreeLogoSlot())};
        break;
    case 'N':
        Put32(d, s.FreeDiskSpace());
        break;
    case 'S':
        d = {uint8_t(s.languages.size()), s.language};
        for (const std::string& name : s.languages) {
            std::string entry = name;
            entry.resize(8, ' ');
            d.insert(d.end(), entry.begin(), entry.end());
        }
        break;
    case 'U':
        d = {s.measure};
        break;
    case 'W':
        d = {s.taskConfig};
        break;
    case 'Y':
        Put32(d, uint32_t(s.encoder[0]));
        Put32(d, uint32_t(s.encoder[1]));
        break;
    case '[':
        d = {s.encoderStatus};
        break;
    case ']':
        Put32(d, uint32_t(s.conveyor));
        break;
    case '_': {
        if (p[0] >= kPrintHeads) return Refuse(kOutOfRange);
        const PrintHead& h = s.heads[p[0]];
        d = {p[0], h.config[0], h.config[1], h.dpi, h.fitted};
        for (uint32_t v : {h.heightConfig, h.nozzles, h.dotsPrinted}) Put32(d, v);
        break;
    }
    case 'd': {
        const int32_t message = int32_t(Le32(p));
        if (message < 0 || message >= s.maxMessages) return Refuse(kOutOfRange);
        const auto delay = s.messageDelays.find(message);
        Put32(d, uint32_t(message));
        Put32(d, uint32_t(delay == s.messageDelays.end() ? 0 : delay->second));
        break;
    }
    case 'f':
        Put16(d, uint16_t(s.maxMessages));
        break;
    case 'g':
        d = {uint8_t(transfers_.Active() ? 1 : 0)};
        break;
    case 't':
        d = {'Z', 'R', 'E', 'L', s.printerType};
        break;
    default:
        return std::nullopt; // not a query
    }
    return Answer(command, std::move(d));
}

Outcome Printer::Setting(uint8_t command, const uint8_t* p, size_t n) {
    PrinterState& s = state_;
    switch (command) {
    case '3':
        if (p[0] >= s.maxMessages) return Refuse(kOutOfRange);
        s.messageNo = p[0];
        return Done();
    case '5': {
        ClockFields c{Le16(p), p[2], p[3], p[4], p[5], p[6]};
        if (!s.SetClock(c)) return Refuse(kOutOfRange);
        return Done();
    }
    case '7':
        if (n < 1 || p[0] + 1u != n) return Refuse(kBadParameters);
        s.dateFormat.assign(p + 1, p + n);
        return Done();
    case '9': {
        std::array<Shift, kShifts> shifts;
        for (int g = 0; g < kShifts; ++g) {
            shifts[g] = Shift{p[3 * g], Le16(p + 3 * g + 1)};
            if (shifts[g].code != ' ' && shifts[g].code != 0 &&
                !ValidHourMinute(shifts[g].hourMinute))
                return Refuse(kOutOfRange);
        }
        s.shifts = shifts;
        return Done();
    }
    case ';': {
        if (p[0] >= kCounters) return Refuse(kOutOfRange);
        Counter& c = s.counters[p[0]];
        for (int i = 0; i < 3; ++i) c.values[i] = int32_t(Le32(p + 2 + 4 * i));
        c.on = int32_t(Le32(p + 14));
        return Done();
    }
    case '=':
        if (n < 2 || p[1] + 2u != n) return Refuse(kBadParameters);
        s.strings[p[0]].assign(p + 2, p + n);
        return Done();
    case '?':
        if (!ValidHourMinute(Le16(p))) return Refuse(kOutOfRange);
        s.rollHour = Le16(p);
        return Done();
    case 'A':
        s.yearCode = Le16(p);
        return Done();
    case 'C':
        if (n < 1) return Refuse(kBadParameters);
        if (p[0] >= s.maxMessages) return Refuse(kOutOfRange);
        if (n - 1 > s.FreeDiskSpace() + s.messages[p[0]].size()) return Refuse(kNoRoom);
        s.messages[p[0]].assign(p + 1, p + n);
        if (n == 1) s.messages.erase(p[0]);
        return Done();
    case 'F':
        if (p[0] > 1) return Refuse(kOutOfRange);
        s.printOn = p[0];
        return Done();
    case 'H':
        s.taskNo = p[0];
        return Done();
    case 'P': {
        Outcome o = Done();
        o.after = Outcome::Reboot;
        return o;
    }
    case 'R': {
        if (p[0] >= kPrinterBaudRates.size()) return Refuse(kOutOfRange);
        s.baudIndex = p[0];
        Outcome o = Done();
        o.after = Outcome::ChangeBaud;
        return o;
    }
    case 'T':
        if (p[0] >= s.languages.size()) return Refuse(kOutOfRange);
        s.language = p[0];
        return Done();
    case 'V':
        if (p[0] > 1) return Refuse(kOutOfRange);
        s.measure = p[0];
        return Done();
    case 'X':
        s.taskConfig = p[0];
        return Done();
    case 'Z':
        s.encoder[0] = int32_t(Le32(p));
        s.encoder[1] = int32_t(Le32(p + 4));
        return Done();
    case '\\':
        s.encoderStatus = p[0];
        return Done();
    case '^':
        s.conveyor = int32_t(Le32(p));
        return Done();
    case '`':
    case 'a':
    case 'c': {
        if (p[0] >= kPrintHeads) return Refuse(kOutOfRange);
        PrintHead& h = s.heads[p[0]];
        if (command == '`') h.config[0] = p[1], h.config[1] = p[2];
        if (command == 'a') h.heightConfig = Le32(p + 1);
        if (command == 'c') h.dpi = p[1];
        return Done();
    }
    case 'e': {
        const int32_t message = int32_t(Le32(p));
        if (message < 0 || message >= s.maxMessages) return Refuse(kOutOfRange);
        s.messageDelays[message] = int32_t(Le32(p + 4));
        return Done();
    }
    case 'i':
        s.printOn = 0;
        return Done();
    case 0xF0: {
        switch (p[0]) {
        case 0x10:
            break;
        case 0x11:
            ++s.productCounter;
            break;
        case 0x12:
            s.productCounter = 0;
            break;
        case 0x13:
            s.productCounter = s.productPreset;
            break;
        case 0x14:
            if (s.productCounter > 0) --s.productCounter;
            break;
        default:
            return Refuse(kOutOfRange);
        }
        const std::string text = std::to_string(s.productCounter);
        Outcome o = Answer(0xF0, {p[0]});
        o.data.insert(o.data.end(), text.begin(), text.end());
        o.data.push_back(0);
        o.changed = p[0] != 0x10;
        return o;
    }
    default:
        return Refuse(kUnknownCommand);
    }
}

Outcome Printer::Transfer(uint8_t command, const uint8_t* p, size_t n) {
    if (command == '~' || command == '}') return Block(command, p, n);
    if (command == 'w' || command == 0x81 || command == '{' || command == 'y')
        return Request(command, p);
    return Announce(command, p);
}

Outcome Printer::Announce(uint8_t command, const uint8_t* p) {
    static const std::map<uint8_t, uint8_t> kinds{{'|', 2}, {'x', 3}, {'z', 1}, {'v', 4}};
    if (p[4] != kinds.at(command)) return Refuse(kOutOfRange);
    const int32_t length = int32_t(Le32(p));
    if (length <= 0) return Refuse(kOutOfRange);
    IncomingItem item;
    item.length = uint32_t(length);
    size_t replaced = 0;
    switch (command) {
    case '|':
        item.target = IncomingItem::Logo;
        item.number = uint16_t(Le16(p + 5));
        if (item.number < 1 || item.number > kLogoSlots) return Refuse(kOutOfRange);
        replaced = state_.logos[item.number - 1].size();
        break;
    case 'x': {
        item.target = IncomingItem::File;
        item.name = NameFromField(p + 5);
        if (item.name.empty()) return Refuse(kOutOfRange);
        const auto old = state_.files.find(item.name);
        replaced = old == state_.files.end() ? 0 : old->second.size();
        break;
    }
    case 'z': {
        item.target = IncomingItem::Message;
        item.number = uint16_t(Le16(p + 5));
        if (item.number >= state_.maxMessages) return Refuse(kOutOfRange);
        const auto old = state_.messages.find(item.number);
        replaced = old == state_.messages.end() ? 0 : old->second.size();
        break;
    }
    default:
        item.target = IncomingItem::PrintImage;
        break;
    }
    // A print image, too, has to fit on the disk while its blocks arrive.
    if (item.length > state_.FreeDiskSpace() + replaced) return Refuse(kNoRoom);
    transfers_.BeginIncoming(std::move(item));
    return Answer('O');
}

// A file stored under the name comes first; the parameter file and the message-name list are
// otherwise made up from the printer's state.
Bytes Printer::FileFor(const std::string& name, bool& found) const {
    const auto file = state_.files.find(name);
    found = true;
    if (file != state_.files.end()) return file->second;
    if (name == kParameterUpload) return ParameterFile(state_);
    if (name == kMessageNames) return MessageNameList(state_);
    found = false;
    return {};
}

Outcome Printer::Request(uint8_t command, const uint8_t* p) {
    Bytes item;
    bool found = true;
    if (command == 'w') {
        item = FileFor(NameFromField(p), found);
    } else if (command == 0x81) {
        item = ScreenImage(state_);
    } else {
        const int number = uint16_t(Le16(p));
        if (command == '{') {
            if (number < 1 || number > kLogoSlots) return Refuse(kOutOfRange);
            item = state_.logos[number - 1];
        } else {
            const auto message = state_.messages.find(number);
            if (message != state_.messages.end()) item = message->second;
        }
        found = !item.empty();
    }
    if (!found) return Refuse(kNotFound);
    Bytes d;
    Put32(d, uint32_t(item.size()));
    transfers_.BeginOutgoing(std::move(item));
    return Answer(command, std::move(d));
}

Outcome Printer::Block(uint8_t command, const uint8_t* p, size_t n) {
    uint8_t error = 0;
    Outcome o;
    Transfers::BlockAnswer answer;
    if (command == '~') {
        std::optional<IncomingItem> done;
        answer = transfers_.TakeBlock(p, n, error, done);
        o = Answer('O');
        if (done) o = Store(std::move(*done));
    } else {
        Bytes data;
        answer = transfers_.ServeBlock(p, n, error, data);
        o = Answer('}', std::move(data));
    }
    if (answer == Transfers::BlockAnswer::Error) return Refuse(error);
    if (answer == Transfers::BlockAnswer::Silent) o.answer = false;
    return o;
}

Outcome Printer::Store(IncomingItem item) {
    Outcome o = Done();
    switch (item.target) {
    case IncomingItem::Logo:
        state_.logos[item.number - 1] = std::move(item.data);
        o.logoStored = item.number;
        break;
    case IncomingItem::File:
        state_.files[item.name] = std::move(item.data);
        break;
    case IncomingItem::Message:
        state_.messages[item.number] = std::move(item.data);
        break;
    case IncomingItem::PrintImage:
        state_.lastPrintImage = std::move(item.data);
        ++state_.printImages;
        break;
    }
    return o;
}

} // namespace zarelsim
