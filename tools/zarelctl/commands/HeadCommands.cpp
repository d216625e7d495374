// Commands for the print heads and the print-command counter, and the printer's raw system data and
// backup register.
#include "../Command.h"

#include <cstdio>

namespace zarelctl {

namespace {

void Head(Session &s) {
    std::string action = s.Choice(0, {"get", "set", "dpi"});
    if (action == "get") {
        s.ExpectWords(2, 2);
        long head = s.Number(1, "the head number", 0, 255);
        s.Connect();
        s.Check("ask for the configuration of head " + std::to_string(head),
                [&] { return GetPHCfg(static_cast<int32_t>(head)); });
        s.Out().Say("Head " + std::to_string(head) + " answered its configuration request");
        s.Out().Set("head", head);
        return;
    }
    if (action == "dpi") {
        s.ExpectWords(3, 3);
        long head = s.Number(1, "the head number", 0, 255);
        long dpi = s.Number(2, "the resolution in dots per inch", 0, 255);
        s.Connect();
        s.Check("set the resolution of head " + std::to_string(head),
                [&] { return SetPHDPI(static_cast<int32_t>(dpi), static_cast<int32_t>(head)); });
        s.Out().Say("Head " + std::to_string(head) + " set to " + std::to_string(dpi) + " dpi");
        s.Out().Set("head", head);
        s.Out().Set("dpi", dpi);
        return;
    }
    // Two values go with the short configuration, four with the long one.
    if (s.WordCount() != 4 && s.WordCount() != 6)
        throw UsageError("'head set' takes the head number and two or four values (0-255 each)");
    uint8_t config[5] = {};
    std::vector<Json> values;
    for (size_t i = 1; i < s.WordCount(); ++i) {
        config[i - 1] = static_cast<uint8_t>(
            s.Number(i, i == 1 ? "the head number" : "a configuration value", 0, 255));
        if (i > 1) values.push_back(Json(static_cast<int>(config[i - 1])));
    }
    s.Connect();
    s.Check("set the configuration of head " + std::to_string(config[0]),
            [&] { return s.WordCount() == 4 ? SetPHCfg(config) : SetPHCfgH(config); });
    s.Out().Say("Head " + std::to_string(config[0]) + " configured");
    s.Out().Set("head", static_cast<int>(config[0]));
    s.Out().Set("values", Json::List(std::move(values)));
}

void PrintCommand(Session &s) {
    s.ExpectWords(1, 1);
    std::string action = s.Choice(0, {"get", "clear", "set", "inc", "adjust"});
    s.Connect();
    if (action == "get") {
        const char *text = nullptr;
        s.Check("read the print-command counter", [&] { return (text = GetPRCmd()) != nullptr; });
        s.Out().Say(std::string("Print-command counter: ") + text);
        s.Out().Set("text", text);
        return;
    }
    zc_bool(ZARELCOM_CALL *const call)(void) = action == "clear" ? ClearPRCmd
                                               : action == "set" ? SetPRCmd
                                               : action == "inc" ? IncPRCmd
                                                                 : AdjPRCmd;
    s.Check(action + " the print-command counter", call);
    s.Out().Say("Print-command counter: " + action + " done");
    s.Out().Set("action", action);
}

void SystemData(Session &s) {
    s.ExpectWords(0, 0);
    s.Connect();
    uint8_t data[64] = {};
    s.Check("read the system data", [&] { return GetSysData(data); });
    std::vector<Json> bytes;
    for (size_t row = 0; row < sizeof data; row += 16) {
        std::string line;
        for (size_t i = row; i < row + 16; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%s%02X", i == row ? "" : " ", data[i]);
            line += hex;
            bytes.push_back(Json(static_cast<int>(data[i])));
        }
        s.Out().Say(line);
    }
    s.Out().Set("data", Json::List(std::move(bytes)));
}

void BackupRegister(Session &s) {
    s.ExpectWords(0, 0);
    s.Connect();
    int32_t value =
        s.QueryAmbiguous("read the backup and restore register", GetBackUpRestoreReg, 2);
    s.Out().Say("Backup and restore register: " + std::to_string(value));
    s.Out().Set("register", value);
}

} // namespace

std::vector<Command> HeadCommands() {
    return {
        {"head",
         "get N | set N A B [C D] | dpi N DPI",
         "Ask for the configuration of print head N, configure it, or set its resolution",
         "'set' sends the head number and two values (the short configuration) or four (the long "
         "one),\n"
         "each 0-255, byte for byte as the printer takes them. 'get' only shows that the head "
         "answered: the\n"
         "library does not hand out the reply.",
         {},
         Head},
        {"print-command",
         "get | clear | set | inc | adjust",
         "Read the print-command counter, or clear it, set it to its preset, step it up or adjust "
         "it",
         "",
         {},
         PrintCommand},
        {"sys-data",
         "",
         "Show the printer's 64 bytes of system data in hexadecimal",
         "",
         {},
         SystemData},
        {"backup-register",
         "",
         "Show the printer's backup and restore register",
         "",
         {},
         BackupRegister},
    };
}

} // namespace zarelctl
