#include "Session.h"

#include "PortMap.h"

#include <vector>

namespace zarelctl {

namespace {

const LineRate lineRates[] = {
    {9600, ZC_BR9600, 0}, {19200, ZC_BR19200, 1}, {38400, ZC_BR38400, 2}, {57600, ZC_BR57600, 3}, {115200, ZC_BR115200, 4},
};

const char *const noAnswerAdvice =
    "the printer did not answer. Check that it is switched on and cabled, that --port names its port "
    "(see 'zarelctl ports') and that --baud matches its rate, or search with --auto";

const char *const refusedAdvice =
    "the printer answers, but did not accept the request or had nothing to send (for a fetch: the "
    "file, logo or message is empty or not there). Check the number or name";

} // namespace

const LineRate &LineRateOf(const std::string &text)
{
    for (const LineRate &rate : lineRates)
        if (text == std::to_string(rate.bitsPerSecond))
            return rate;
    throw UsageError("the baud rate must be 9600, 19200, 38400, 57600 or 115200, not '" + text + "'");
}

const LineRate &LineRateAt(int32_t printerIndex)
{
    return lineRates[printerIndex >= 0 && printerIndex < 5 ? printerIndex : 1];
}

void Session::ExpectWords(size_t min, size_t max) const
{
    if (line_.words.size() < min)
        throw UsageError("'" + line_.command + "' needs more arguments");
    if (line_.words.size() > max)
        throw UsageError("'" + line_.command + "' does not take '" + line_.words[max] + "'");
}

long Session::Number(size_t i, const std::string &what, long min, long max) const
{
    if (i >= line_.words.size())
        throw UsageError("'" + line_.command + "' needs " + what);
    return ParseNumber(line_.words[i], what, min, max);
}

std::string Session::Choice(size_t i, std::initializer_list<const char *> choices) const
{
    std::string list;
    for (const char *choice : choices) {
        if (i < line_.words.size() && line_.words[i] == choice)
            return choice;
        list += list.empty() ? choice : std::string(", ") + choice;
    }
    if (i >= line_.words.size())
        throw UsageError("'" + line_.command + "' needs one of: " + list);
    throw UsageError("'" + line_.command + "' takes one of " + list + ", not '" + line_.words[i] + "'");
}

long Session::NumberOption(const std::string &name, const std::string &what, long min, long max, long fallback) const
{
    const std::string *value = line_.Value(name);
    return value ? ParseNumber(*value, what, min, max) : fallback;
}

Session::Attempt Session::Begin()
{
    return {GetCurrErrCode()};
}

void Session::Refuse(const std::string &action, const Attempt &before, bool mayBeRefusal)
{
    std::string portError = GetLastPortError();
    int32_t code = GetCurrErrCode();
    // Every call that can keep a port error clears it first: a message belongs to the failed call.
    if (!portError.empty())
        throw PrinterFailure("could not " + action + ": the port refused (" + portError +
                                 "). Check that no other program holds the port and that it is a serial device",
                             -1, portError);
    if (code != before.errorCode) {
        std::string meaning = zc_error_text(code);
        throw PrinterFailure("could not " + action + ": error code " + std::to_string(code) + ", " + meaning, code,
                             meaning);
    }
    if (mayBeRefusal && GetPrintStatus() != -1)
        throw PrinterFailure("could not " + action + ": " + refusedAdvice, -1, "refused");
    throw PrinterFailure("could not " + action + ": " + noAnswerAdvice, -1, "no answer");
}

void Session::Connect()
{
    if (const std::string *pacing = line_.Value("--pacing")) {
        if (*pacing != "polled" && *pacing != "events")
            throw UsageError("the pacing must be polled or events, not '" + *pacing + "'");
        zc_set_pacing(*pacing == "events" ? ZC_PACING_EVENTS : ZC_PACING_POLLED);
        report_.Set("pacing", *pacing);
    }
    if (line_.Has("--auto")) {
        std::vector<MappedPort> ports = MappedPorts();
        if (ports.empty())
            FailLocally("no serial port is mapped on this machine: connect the printer, or map its device as com<n> in " +
                        PortDirectory());
        std::vector<int32_t> list{static_cast<int32_t>(ports.size() + 1)};
        for (const MappedPort &port : ports)
            list.push_back(port.number);
        Check("find a printer on the mapped ports at any of the five rates", [&] { return AutoConnect(list.data()); });
        const MappedPort &found = ports.at(static_cast<size_t>(list[0] - 1));
        const LineRate &rate = LineRateAt(list[1]);
        report_.Say("Printer found on COM" + std::to_string(found.number) + " at " + std::to_string(rate.bitsPerSecond) +
                    " bit/s");
        report_.Set("port", found.number);
        report_.Set("baud", rate.bitsPerSecond);
        return;
    }
    long port = NumberOption("--port", "the COM number (--port)", 1, 255, 1);
    const std::string *baudText = line_.Value("--baud");
    const LineRate &rate = LineRateOf(baudText ? *baudText : "19200");
    std::string name = "COM" + std::to_string(port);
    Attempt beforeOpen = Begin();
    if (!OpenComPort(static_cast<int32_t>(port))) {
        if (*GetLastPortError() != '\0')
            Refuse("open " + name, beforeOpen, false);
        FailLocally("could not open " + name + ": it leads to no device, to one that is not a serial port, or to one "
                    "that another program holds. See 'zarelctl ports' for the mapped ports");
    }
    Check("set " + name + " to " + std::to_string(rate.bitsPerSecond) + " bit/s",
          [&] { return SetBaudRate(rate.portOrdinal); });
    report_.Set("port", port);
    report_.Set("baud", rate.bitsPerSecond);
}

} // namespace zarelctl
