#include "Session.h"

#include "Ports.h"
#include "System.h"

#include <zarelcom/zarelcom.hpp>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace zarelctl {

namespace {

// The printer's rates, in the order of its own numbers for them.
const std::array<LineRate, ZC_SEARCH_RATE_COUNT> &LineRates() {
    static const std::array<LineRate, ZC_SEARCH_RATE_COUNT> rates = [] {
        constexpr int32_t ordinals[ZC_SEARCH_RATE_COUNT] = ZC_SEARCH_RATES;
        std::array<LineRate, ZC_SEARCH_RATE_COUNT> table{};
        for (int32_t i = 0; i < ZC_SEARCH_RATE_COUNT; ++i)
            table[i] = {static_cast<long>(zarelcom::RateBitsPerSecond(ordinals[i])), ordinals[i],
                        i};
        return table;
    }();
    return rates;
}

const char *const noAnswerAdvice =
    "the printer did not answer. Check that it is switched on and cabled, that --port names its "
    "port "
    "(see 'zarelctl ports') and that --baud matches its rate, or search with --auto";

const char *const refusedAdvice =
    "the printer answers, but did not accept the request or had nothing to send (for a fetch: the "
    "file, logo or message is empty or not there). Check the number or name";

// A --port word that is a COM number (a sign included, so that -1 is a wrong number and not a
// device's name).
bool IsComNumber(const std::string &port) {
    size_t digits = port.find_first_not_of("+-") == 1 ? 1 : 0;
    return port.size() > digits &&
           port.find_first_not_of("0123456789", digits) == std::string::npos;
}

} // namespace

const LineRate &LineRateOf(const std::string &text) {
    for (const LineRate &rate : LineRates())
        if (text == std::to_string(rate.bitsPerSecond)) return rate;
    throw UsageError("the baud rate must be 9600, 19200, 38400, 57600 or 115200, not '" + text +
                     "'");
}

const LineRate &LineRateOfOrdinal(int32_t portOrdinal) {
    for (const LineRate &rate : LineRates())
        if (rate.portOrdinal == portOrdinal) return rate;
    return LineRates()[1];
}

const LineRate &LineRateAt(int32_t printerIndex) {
    return LineRates()[printerIndex >= 0 && printerIndex < ZC_SEARCH_RATE_COUNT ? printerIndex : 1];
}

void Session::ExpectWords(size_t min, size_t max) const {
    if (line_.words.size() < min) throw UsageError("'" + line_.command + "' needs more arguments");
    if (line_.words.size() > max)
        throw UsageError("'" + line_.command + "' does not take '" + line_.words[max] + "'");
}

long Session::Number(size_t i, const std::string &what, long min, long max) const {
    if (i >= line_.words.size()) throw UsageError("'" + line_.command + "' needs " + what);
    return ParseNumber(line_.words[i], what, min, max);
}

std::string Session::Choice(size_t i, std::initializer_list<const char *> choices) const {
    std::string list;
    for (const char *choice : choices) {
        if (i < line_.words.size() && line_.words[i] == choice) return choice;
        list += list.empty() ? choice : std::string(", ") + choice;
    }
    if (i >= line_.words.size()) throw UsageError("'" + line_.command + "' needs one of: " + list);
    throw UsageError("'" + line_.command + "' takes one of " + list + ", not '" + line_.words[i] +
                     "'");
}

long Session::NumberOption(const std::string &name, const std::string &what, long min, long max,
                           long fallback) const {
    const std::string *value = line_.Value(name);
    return value ? ParseNumber(*value, what, min, max) : fallback;
}

Session::Attempt Session::Begin() { return {GetCurrErrCode()}; }

void Session::Refuse(const std::string &action, const Attempt &before, bool mayBeRefusal) {
    std::string portError = GetLastPortError();
    int32_t code = GetCurrErrCode();
    // Every call that can keep a port error clears it first: a message belongs to the failed call.
    int32_t localError = -1;
    if (!portError.empty() && zc_local_failure(&localError))
        FailLocally("could not " + action + ": this computer failed, not the printer (" +
                        portError + "). Check the local file, its folder and the free space",
                    localError);
    if (!portError.empty())
        throw PrinterFailure(
            "could not " + action + ": the port refused (" + portError +
                "). Check that no other program holds the port and that it is a serial device",
            -1, portError, "port");
    if (code != before.errorCode) {
        std::string meaning = zc_error_text(code);
        throw PrinterFailure("could not " + action + ": error code " + std::to_string(code) + ", " +
                                 meaning,
                             code, meaning);
    }
    if (mayBeRefusal && GetPrintStatus() != -1)
        throw PrinterFailure("could not " + action + ": " + refusedAdvice, -1, "refused");
    throw PrinterFailure("could not " + action + ": " + noAnswerAdvice, -1, "no answer");
}

void Session::FailLocally(const std::string &message, int error) {
    throw PrinterFailure(message, error, error >= 0 ? std::strerror(error) : "", "local");
}

void Session::OpenPort(const std::string &port) {
    if (port.empty()) throw UsageError("--port needs a COM number or a device, not an empty word");
    bool byNumber = IsComNumber(port);
    std::string name = byNumber ? "COM" + port : port;
    Attempt before = Begin();
    bool opened = byNumber ? OpenComPort(static_cast<int32_t>(
                                 ParseNumber(port, "the COM number (--port)", 1, 255)))
                           : zc_open_port_device(port.c_str());
    if (opened) return;
    zc_port_failure_info failure{};
    if (!zc_port_failure(&failure)) Refuse("open " + name, before, false);
    throw PrinterFailure(OpenAdvice(name, failure), failure.os_error, OpenReason(failure), "port");
}

namespace {

// What the search tells while it runs: every try, and why a port was passed over, which the
// library's record of the port's open says once the search has moved on from it.
class SearchNotes {
public:
    explicit SearchNotes(const std::vector<zc_port_info> &ports) : ports_(ports) {}

    static zc_bool ZARELCOM_CALL OnTry(int32_t port, int32_t rateOrdinal, void *context) {
        auto &notes = *static_cast<SearchNotes *>(context);
        if (port != notes.asked_) notes.TellSkipped();
        notes.asked_ = port;
        Report::Note("Trying " + notes.NameOf(port) + " at " +
                     std::to_string(LineRateOfOrdinal(rateOrdinal).bitsPerSecond) + " bit/s");
        return true;
    }

    // Tells the port asked about last, if it did not open.
    void TellSkipped() {
        zc_port_failure_info failure{};
        if (asked_ != 0 && zc_port_failure(&failure))
            Report::Note("Skipping " + NameOf(asked_) + ": " + OpenReason(failure));
        asked_ = 0;
    }

    std::string NameOf(int32_t number) const {
        for (const zc_port_info &port : ports_)
            if (port.number == number)
                return "COM" + std::to_string(number) + " (" + port.device + ")";
        return "COM" + std::to_string(number);
    }

private:
    const std::vector<zc_port_info> &ports_;
    int32_t asked_ = 0;
};

} // namespace

void Session::Search() {
    std::vector<zc_port_info> ports = ListedPorts();
    if (ports.empty())
        FailLocally("no serial port was found on this machine: connect the printer, or map its "
                    "device as com<n> in "
                    "$ZARELCOM_PORT_DIR (by default ~/.config/zarelcom/ports)");
    std::vector<int32_t> list = {static_cast<int32_t>(ports.size() + 1)};
    for (const zc_port_info &port : ports) list.push_back(port.number);
    SearchNotes notes(ports);
    const bool found = zc_search(list.data(), &SearchNotes::OnTry, &notes);
    notes.TellSkipped();
    if (found) {
        const zc_port_info &port = ports[static_cast<size_t>(list[0] - 1)];
        const LineRate &rate = LineRateAt(list[1]);
        report_.Say("Printer found on COM" + std::to_string(port.number) + " at " +
                    std::to_string(rate.bitsPerSecond) + " bit/s");
        report_.Set("port", port.number);
        report_.Set("device", port.device);
        report_.Set("baud", rate.bitsPerSecond);
        return;
    }
    CloseComPort();
    throw PrinterFailure(
        "could not find a printer on the " + std::to_string(ports.size()) +
            " serial ports of this machine at any of the five rates. Check that it is switched on "
            "and cabled, and that its port is listed by 'zarelctl ports'",
        -1, "no answer");
}

void Session::Connect() {
    if (const std::string *pacing = line_.Value("--pacing")) {
        if (*pacing != "polled" && *pacing != "events")
            throw UsageError("the pacing must be polled or events, not '" + *pacing + "'");
        zc_set_pacing(*pacing == "events" ? ZC_PACING_EVENTS : ZC_PACING_POLLED);
        report_.Set("pacing", *pacing);
    }
    if (line_.Has("--auto")) return Search();
    const std::string *portOption = line_.Value("--port");
    std::string port = portOption ? *portOption : "1";
    const std::string *baudText = line_.Value("--baud");
    const LineRate &rate = LineRateOf(baudText ? *baudText : "19200");
    OpenPort(port);
    Check("set the port to " + std::to_string(rate.bitsPerSecond) + " bit/s",
          [&] { return SetBaudRate(rate.portOrdinal); });
    if (IsComNumber(port))
        report_.Set("port", std::stol(port));
    else
        report_.Set("device", port);
    report_.Set("baud", rate.bitsPerSecond);
}

} // namespace zarelctl
