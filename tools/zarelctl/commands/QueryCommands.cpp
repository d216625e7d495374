// Commands that read what the printer is and holds: identity, status, store, and the values of
// measure, encoder, conveyor, message delay and language.
#include <zarelcom/zarelcom.hpp>

#include "../Command.h"

namespace zarelctl {

namespace {

// The printer line as the logo tool's status bar shows it.
std::string PrinterLine(const SystemInfo &info) {
    return " ZAREL HP MODEL " + std::to_string(info.ModelNo) + "  V" +
           std::to_string(info.Version / 100) + "." + std::to_string(info.Version % 100) +
           " Ref. Date : " + std::to_string(info.RefYear) + "-" +
           std::to_string(info.RefMonthDay / 31) + "-" + std::to_string(info.RefMonthDay % 31) +
           "  S/N:" + std::to_string(info.SerialNo);
}

void ShowInfo(Session &s) {
    s.ExpectWords(0, 0);
    s.Connect();
    int32_t type = s.Query("read the printer type", GetZarelType, -1);
    SystemInfo info{};
    s.Check("read the system information", [&] { return GetSysInfo(&info); });
    s.Out().Say(PrinterLine(info));
    s.Out().Say("Printer type: " + std::to_string(type));
    s.Out().Set("type", type);
    s.Out().Set("model", info.ModelNo);
    s.Out().Set("version", info.Version);
    s.Out().Set("serial", info.SerialNo);
    s.Out().Set("refYear", info.RefYear);
    s.Out().Set("refMonth", info.RefMonthDay / 31);
    s.Out().Set("refDay", info.RefMonthDay % 31);
    s.Out().Set("line", PrinterLine(info));
    s.Out().Set("library", DllVersion());
}

void ShowStatus(Session &s) {
    s.ExpectWords(0, 0);
    s.Connect();
    int32_t printing = s.Query("read the print status", GetPrintStatus, -1);
    int32_t ink = s.QueryAmbiguous("read the ink status", GetInkStaus, 255);
    int32_t message = s.Query("read the message number", GetMessageNo, -1);
    int32_t freeSlot = s.Query("ask for a free logo slot", GetFreeLogoNo, -1);
    s.Out().Say(std::string("Printing: ") + (printing ? "on" : "off"));
    s.Out().Say("Ink status: " + std::to_string(ink));
    s.Out().Say("Message: " + std::to_string(message));
    s.Out().Say("Free logo slot: " + (freeSlot >= 1 && freeSlot <= ZC_LOGO_SLOTS
                                          ? std::to_string(freeSlot)
                                          : "none, all fifty taken"));
    s.Out().Set("printing", printing == 1);
    s.Out().Set("ink", ink);
    s.Out().Set("message", message);
    s.Out().Set("freeLogoSlot",
                freeSlot >= 1 && freeSlot <= ZC_LOGO_SLOTS ? Json(freeSlot) : Json());
}

void ShowDisk(Session &s) {
    s.ExpectWords(0, 0);
    s.Connect();
    int32_t freeBytes = s.QueryAmbiguous("read the free disk space", GetFreeDiskSpc, 0);
    int32_t maxMessages = s.QueryAmbiguous("read the message capacity", GetMaxMsg, 0);
    s.Out().Say("Free disk space: " + std::to_string(freeBytes) + " bytes");
    s.Out().Say("Messages at most: " + std::to_string(maxMessages));
    s.Out().Set("freeBytes", freeBytes);
    s.Out().Set("maxMessages", maxMessages);
}

void Measure(Session &s) {
    s.ExpectWords(0, 1);
    if (s.WordCount() == 1) {
        long value = s.Number(0, "the measure value", 0, 255);
        s.Connect();
        s.Check("set the measure", [&] { return SetMeasure(static_cast<int32_t>(value)); });
        s.Out().Say("Measure set to " + std::to_string(value));
        s.Out().Set("measure", value);
        return;
    }
    s.Connect();
    int32_t value = s.Query("read the measure", GetMeasure, -1);
    s.Out().Say("Measure: " + std::to_string(value));
    s.Out().Set("measure", value);
}

void Encoder(Session &s) {
    s.ExpectWords(0, 2);
    if (s.WordCount() == 1)
        throw UsageError("'encoder' takes both encoder values, or none to read them");
    const std::string *statusText = s.Option("--status");
    if (s.WordCount() == 2 || statusText) {
        int32_t record[2] = {0, 0};
        bool setValues = s.WordCount() == 2;
        if (setValues) {
            record[0] =
                static_cast<int32_t>(s.Number(0, "the first encoder value", INT32_MIN, INT32_MAX));
            record[1] =
                static_cast<int32_t>(s.Number(1, "the second encoder value", INT32_MIN, INT32_MAX));
        }
        uint8_t status =
            statusText
                ? static_cast<uint8_t>(ParseNumber(*statusText, "the encoder status", 0, 255))
                : 0;
        s.Connect();
        if (setValues) {
            s.Check("set the encoder", [&] { return SetEncoder(record); });
            s.Out().Say("Encoder set to " + std::to_string(record[0]) + " " +
                        std::to_string(record[1]));
            s.Out().Set("values", Json::List({record[0], record[1]}));
        }
        if (statusText) {
            s.Check("set the encoder status", [&] { return SetEncoderStatus(&status); });
            s.Out().Say("Encoder status set to " + std::to_string(status));
            s.Out().Set("status", status);
        }
        return;
    }
    s.Connect();
    int32_t record[2] = {0, 0};
    int32_t status = 0;
    s.Check("read the encoder", [&] { return GetEncoder(record, &status); });
    s.Out().Say("Encoder: " + std::to_string(record[0]) + " " + std::to_string(record[1]) +
                ", status " + std::to_string(status));
    s.Out().Set("values", Json::List({record[0], record[1]}));
    s.Out().Set("status", status);
}

void Conveyor(Session &s) {
    s.ExpectWords(0, 1);
    if (s.WordCount() == 1) {
        int32_t value =
            static_cast<int32_t>(s.Number(0, "the conveyor value", INT32_MIN, INT32_MAX));
        s.Connect();
        s.Check("set the conveyor", [&] { return SetConveyor(&value); });
        s.Out().Say("Conveyor set to " + std::to_string(value));
        s.Out().Set("conveyor", value);
        return;
    }
    s.Connect();
    int32_t value = 0;
    s.Check("read the conveyor", [&] { return GetConveyor(&value); });
    s.Out().Say("Conveyor: " + std::to_string(value));
    s.Out().Set("conveyor", value);
}

void Delay(Session &s) {
    s.ExpectWords(1, 2);
    int32_t record[2] = {
        static_cast<int32_t>(s.Number(0, "the message number", INT32_MIN, INT32_MAX)), 0};
    if (s.WordCount() == 2) {
        record[1] = static_cast<int32_t>(s.Number(1, "the delay", INT32_MIN, INT32_MAX));
        s.Connect();
        s.Check("set the message delay", [&] { return SetMsgDelay(record); });
        s.Out().Say("Delay of message " + std::to_string(record[0]) + " set to " +
                    std::to_string(record[1]));
    } else {
        s.Connect();
        s.Check("read the message delay", [&] { return GetMsgDelay(record); });
        s.Out().Say("Delay of message " + std::to_string(record[0]) + ": " +
                    std::to_string(record[1]));
    }
    s.Out().Set("message", record[0]);
    s.Out().Set("delay", record[1]);
}

// A language name: its 8-byte entry without the blanks and zero bytes that pad it.
std::string LanguageName(const char *entry) {
    std::string name(entry, 8);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    return name;
}

void Language(Session &s) {
    std::string action = s.Choice(0, {"get", "set"});
    if (action == "set") {
        s.ExpectWords(2, 2);
        long language = s.Number(1, "the language number", 0, 255);
        s.Connect();
        s.Check("set the language", [&] { return SetLang(static_cast<int32_t>(language)); });
        s.Out().Say("Language set to " + std::to_string(language));
        s.Out().Set("language", language);
        return;
    }
    s.ExpectWords(1, 1);
    s.Connect();
    int32_t count = 0, current = 0;
    zarelcom::Text names;
    s.Check("read the languages", [&] { return GetLang(&count, &current, names.Out()); });
    std::vector<Json> list;
    for (int32_t i = 0; i < count && names; ++i) {
        std::string name = LanguageName(names.view().data() + 8 * i);
        s.Out().Say(std::string(i == current ? "* " : "  ") + std::to_string(i) + "  " + name);
        list.push_back(Json(name));
    }
    s.Out().Say("Current language: " + std::to_string(current));
    s.Out().Set("language", current);
    s.Out().Set("names", Json::List(std::move(list)));
}

} // namespace

std::vector<Command> QueryCommands() {
    return {
        {"info",
         "",
         "Show the printer type and its system information",
         "The printer line reads as the logo tool's status bar shows it: model, firmware version, "
         "reference "
         "date\nand serial number.",
         {},
         ShowInfo},
        {"status",
         "",
         "Show whether the printer prints, its ink status, message and a free logo slot",
         "",
         {},
         ShowStatus},
        {"disk",
         "",
         "Show the printer's free disk space and how many messages it holds at most",
         "",
         {},
         ShowDisk},
        {"measure",
         "[VALUE]",
         "Read the measure setting, or set it to VALUE (0-255)",
         "",
         {},
         Measure},
        {"encoder",
         "[A B] [--status S]",
         "Read the two encoder values and the encoder status, or set them",
         "",
         {{"--status", "S", "set the encoder status byte (0-255)"}},
         Encoder},
        {"conveyor", "[VALUE]", "Read the conveyor value, or set it", "", {}, Conveyor},
        {"delay", "MESSAGE [VALUE]", "Read the delay of a message, or set it", "", {}, Delay},
        {"lang",
         "get | set N",
         "List the printer's languages and the current one, or choose language N",
         "",
         {},
         Language},
    };
}

} // namespace zarelctl
