// Commands that change what the printer does: printing, message and task, user strings, messages
// loaded from hexadecimal, its line rate, its link mode and a restart.
#include <zarelcom/zarelcom.hpp>

#include "../Command.h"

#include <cctype>

namespace zarelctl {

namespace {

// The most bytes one message load carries: its packet's length field has room for no more.
const size_t largestMessage = 65532;

void Print(Session &s) {
    s.ExpectWords(1, 1);
    bool on = s.Choice(0, {"on", "off"}) == "on";
    s.Connect();
    s.Check(on ? "switch printing on" : "switch printing off",
            [&] { return on ? SetPrintOn() : SetPrintOff(); });
    s.Out().Say(std::string("Printing switched ") + (on ? "on" : "off"));
    s.Out().Set("printing", on);
}

void Message(Session &s) {
    if (s.Choice(0, {"get", "set"}) == "set") {
        s.ExpectWords(2, 2);
        long message = s.Number(1, "the message number", 0, 255);
        s.Connect();
        s.Check("choose message " + std::to_string(message),
                [&] { return SetMessageNo(static_cast<int32_t>(message)); });
        s.Out().Say("Message " + std::to_string(message) + " chosen");
        s.Out().Set("message", message);
        return;
    }
    s.ExpectWords(1, 1);
    s.Connect();
    int32_t message = s.Query("read the message number", GetMessageNo, -1);
    s.Out().Say("Message: " + std::to_string(message));
    s.Out().Set("message", message);
}

void Task(Session &s) {
    std::string action = s.Choice(0, {"get", "set", "stop", "config"});
    if (action == "set") {
        s.ExpectWords(2, 2);
        long task = s.Number(1, "the task number", 0, 255);
        s.Connect();
        s.Check("choose task " + std::to_string(task),
                [&] { return SetTaskNo(static_cast<int32_t>(task)); });
        s.Out().Say("Task " + std::to_string(task) + " chosen");
        s.Out().Set("task", task);
    } else if (action == "stop") {
        s.ExpectWords(1, 1);
        s.Connect();
        s.Check("stop the task", StopTask);
        s.Out().Say("Task stopped");
    } else if (action == "config" && s.WordCount() == 2) {
        long config = s.Number(1, "the task configuration", 0, 255);
        s.Connect();
        s.Check("set the task configuration",
                [&] { return SetTaskCfg(static_cast<int32_t>(config)); });
        s.Out().Say("Task configuration set to " + std::to_string(config));
        s.Out().Set("config", config);
    } else {
        // The library confirms these queries but hands no value out.
        s.ExpectWords(1, 1);
        s.Connect();
        bool config = action == "config";
        s.Check(config ? "query the task configuration" : "query the task",
                config ? GetTaskCfg : GetTaskNo);
        s.Out().Say(config ? "The printer answered the task configuration query"
                           : "The printer answered the task query");
        s.Out().Set("answered", true);
    }
}

void Reboot(Session &s) {
    s.ExpectWords(0, 0);
    s.Connect();
    s.Check("restart the printer", ZarelReboot);
    s.Out().Say("The printer restarts");
}

void Baud(Session &s) {
    s.ExpectWords(1, 1);
    const LineRate &rate = LineRateOf(s.Word(0));
    s.Connect();
    s.Check("switch the printer to " + s.Word(0) + " bit/s",
            [&] { return SetZarelBaud(rate.printerIndex); });
    s.Check("switch the port to " + s.Word(0) + " bit/s",
            [&] { return SetBaudRate(rate.portOrdinal); });
    s.Out().Say("Zarel BaudRate is " + s.Word(0) + "; use --baud " + s.Word(0) + " from now on");
    s.Out().Set("printerBaud", rate.bitsPerSecond);
}

void Mode(Session &s) {
    s.ExpectWords(1, 1);
    bool terminal = s.Choice(0, {"terminal", "packet"}) == "terminal";
    s.Connect();
    s.Check(terminal ? "switch the printer to terminal mode" : "switch the printer to packet mode",
            terminal ? SetCmdProtocol : SetStxProtocol);
    s.Out().Say(std::string("The printer is in ") + (terminal ? "terminal" : "packet") + " mode");
    s.Out().Set("mode", terminal ? "terminal" : "packet");
}

void String(Session &s) {
    const char *const unusedString = " Not use this string";
    if (s.Choice(0, {"get", "set"}) == "set") {
        s.ExpectWords(3, 3);
        long number = s.Number(1, "the string number", 0, 255);
        const std::string &text = s.Word(2);
        if (text.size() > 251)
            throw UsageError("a user string holds at most 251 bytes; this one has " +
                             std::to_string(text.size()));
        s.Connect();
        s.Check("store string " + std::to_string(number),
                [&] { return StxSdString(zarelcom::Text(text), static_cast<int32_t>(number)); });
        s.Out().Say("String " + std::to_string(number) + " stored");
        s.Out().Set("number", number);
        s.Out().Set("text", text);
        return;
    }
    s.ExpectWords(2, 2);
    long number = s.Number(1, "the string number", 0, 255);
    s.Connect();
    const char *text = nullptr;
    s.Check("read string " + std::to_string(number),
            [&] { return StxGetStringC(static_cast<uint8_t>(number), &text); });
    bool used = std::string(text) != unusedString;
    s.Out().Say(used ? std::string(text) : "String " + std::to_string(number) + " is not used");
    s.Out().Set("number", number);
    s.Out().Set("used", used);
    s.Out().Set("text", used ? text : "");
}

void LoadMessage(Session &s) {
    s.ExpectWords(2, 2);
    long message = s.Number(0, "the message number", 0, 255);
    const std::string &hex = s.Word(1);
    if (hex.size() % 2 != 0)
        throw UsageError("the message data must be pairs of hexadecimal digits; this has " +
                         std::to_string(hex.size()) + " digits");
    for (char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            throw UsageError(
                std::string("the message data may hold only hexadecimal digits, not '") + c + "'");
    if (hex.size() / 2 > largestMessage)
        throw UsageError("the message data is too long: " + std::to_string(hex.size() / 2) +
                         " bytes, and a message holds at most " + std::to_string(largestMessage) +
                         ". Nothing was sent");
    s.Connect();
    s.Check("load message " + std::to_string(message),
            [&] { return DownLoadMessage(static_cast<uint8_t>(message), zarelcom::Text(hex)); });
    s.Out().Say("Message " + std::to_string(message) + " loaded (" +
                std::to_string(hex.size() / 2) + " bytes)");
    s.Out().Set("message", message);
    s.Out().Set("bytes", static_cast<long>(hex.size() / 2));
}

} // namespace

std::vector<Command> SettingCommands() {
    return {
        {"print", "on | off", "Switch printing on or off", "", {}, Print},
        {"message",
         "get | set N",
         "Read the current message number, or choose message N (0-255)",
         "",
         {},
         Message},
        {"task",
         "get | set N | stop | config [N]",
         "Query or choose the task, stop it, or query or set its configuration",
         "The library confirms 'task get' and 'task config' queries without handing out a value.",
         {},
         Task},
        {"string",
         "get N | set N TEXT",
         "Read or store user string N (0-255, at most 251 bytes)",
         "",
         {},
         String},
        {"load-msg",
         "N HEX",
         "Load message N from hexadecimal digits, two a byte",
         "",
         {},
         LoadMessage},
        {"baud",
         "RATE",
         "Switch the printer to RATE, then the port to the same rate",
         "The printer must answer at the current --baud first; afterwards it listens at RATE.",
         {},
         Baud},
        {"mode",
         "terminal | packet",
         "Switch the printer between terminal mode and packet mode",
         "Every other command except the terminal announcements needs packet mode.",
         {},
         Mode},
        {"reboot", "", "Restart the printer", "", {}, Reboot},
    };
}

} // namespace zarelctl
