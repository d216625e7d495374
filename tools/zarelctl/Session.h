// One run of one command: its words and options, the connection to the printer, and the checks
// that turn a refused or unanswered library call into a failure with the printer's reason.
#pragma once

#include "CommandLine.h"
#include "PrinterErrors.h"
#include "Report.h"

#include <zarelcom/zarelcom.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace zarelctl {

// The printer rates the tool offers: the computer side's TBaudRate ordinal and the printer's own
// index (what SetZarelBaud takes and AutoConnect reports).
struct LineRate {
    long bitsPerSecond;
    int32_t portOrdinal;
    int32_t printerIndex;
};
const LineRate &LineRateOf(const std::string &text); // UsageError for any other rate
const LineRate &LineRateAt(int32_t printerIndex);
const LineRate &LineRateOfOrdinal(int32_t portOrdinal); // 19200 for an ordinal it does not offer

class Session {
public:
    Session(const CommandLine &line, Report &report) : line_(line), report_(report) {}

    Report &Out() { return report_; }

    // Positional words of the command.
    size_t WordCount() const { return line_.words.size(); }
    const std::string &Word(size_t i) const { return line_.words.at(i); }
    void ExpectWords(size_t min, size_t max) const;
    long Number(size_t i, const std::string &what, long min, long max) const;
    // The word at i, which must be one of the choices.
    std::string Choice(size_t i, std::initializer_list<const char *> choices) const;

    const std::string *Option(const std::string &name) const { return line_.Value(name); }
    long NumberOption(const std::string &name, const std::string &what, long min, long max,
                      long fallback) const;

    // Opens the port as --port/--baud or --auto say; a port that cannot be used, or a search that
    // finds no printer, is a PrinterFailure.
    void Connect();

    // A call that returns a boolean: false is a PrinterFailure "could not <action>: <reason>".
    template <class Call>
    void Check(const std::string &action, Call call) {
        Attempt attempt = Begin();
        if (!call()) Refuse(action, attempt, false);
    }
    // The same for a transfer, which may also fail without an error code while the printer
    // answers (an unexpected reply to a backup request, a fetch of an empty file): a status query
    // then tells a refusal from silence.
    template <class Call>
    void CheckTransfer(const std::string &action, Call call) {
        Attempt attempt = Begin();
        if (!call()) Refuse(action, attempt, true);
    }
    // A call that returns a value with a failure value of its own.
    template <class Call>
    int32_t Query(const std::string &action, Call call, int32_t failureValue) {
        Attempt attempt = Begin();
        int32_t value = call();
        if (value == failureValue) Refuse(action, attempt, false);
        return value;
    }
    // A query whose failure value is also a value the printer may hold (0 free bytes, ink status
    // 255): when it comes back, a status query tells whether the printer is there at all.
    template <class Call>
    int32_t QueryAmbiguous(const std::string &action, Call call, int32_t failureValue) {
        Attempt attempt = Begin();
        int32_t value = call();
        if (value == failureValue && GetPrintStatus() == -1) Refuse(action, attempt, false);
        return value;
    }

    // A refusal of this computer's, never the printer's: a file that cannot be read or written,
    // with the system's error number where there is one.
    [[noreturn]] static void FailLocally(const std::string &message, int error = -1);

private:
    // Opens --port: a COM number, or a device path or name; a PrinterFailure that says what to do
    // when it does not open.
    void OpenPort(const std::string &port);
    // --auto: every listed port at the five rates, saying on the way what it tries.
    void Search();

    // The last error code before a call, to tell whether the call set one.
    struct Attempt {
        int32_t errorCode;
    };
    static Attempt Begin();
    [[noreturn]] static void Refuse(const std::string &action, const Attempt &before,
                                    bool mayBeRefusal);

    const CommandLine &line_;
    Report &report_;
};

} // namespace zarelctl
