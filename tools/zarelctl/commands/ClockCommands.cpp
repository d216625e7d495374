// Commands for the printer's time keeping: clock, year code, roll-over hour, shifts, counters and
// the time-and-date print format.
#include "../Command.h"
#include "../System.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace zarelctl {

namespace {

// "HH:MM" into hour x 100 + minute, the printer's hour-and-minute value.
int32_t HourMinute(const std::string &text, const std::string &what) {
    int hour = -1, minute = -1;
    char end = 0;
    if (std::sscanf(text.c_str(), "%2d:%2d%c", &hour, &minute, &end) != 2 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59)
        throw UsageError(what + " must be a time HH:MM (00:00 to 23:59), not '" + text + "'");
    return hour * 100 + minute;
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// The clock record: the year, then month, day, hour, minute and second.
const char *const clockFields[] = {"year", "month", "day", "hour", "minute", "second"};

void Clock(Session &s) {
    int32_t clock[6] = {};
    if (s.Choice(0, {"get", "set"}) == "set") {
        s.ExpectWords(2, 3);
        std::string when = s.Word(1) + (s.WordCount() == 3 ? " " + s.Word(2) : "");
        if (when == "now") {
            std::tm local = LocalTimeNow();
            int32_t fields[6] = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour,        local.tm_min,     local.tm_sec};
            std::copy(fields, fields + 6, clock);
        } else {
            char end = 0;
            if (std::sscanf(when.c_str(), "%4d-%2d-%2d%*[ T]%2d:%2d:%2d%c", &clock[0], &clock[1],
                            &clock[2], &clock[3], &clock[4], &clock[5], &end) != 6 ||
                clock[1] < 1 || clock[1] > 12 || clock[2] < 1 || clock[2] > 31 || clock[3] > 23 ||
                clock[4] > 59 || clock[5] > 59 || clock[3] < 0 || clock[4] < 0 || clock[5] < 0)
                throw UsageError("the time must be 'now' or YYYY-MM-DD HH:MM:SS, not '" + when +
                                 "'");
        }
        s.Connect();
        s.Check("set the printer's clock", [&] { return SetZarelClock(clock); });
    } else {
        s.ExpectWords(1, 1);
        s.Connect();
        s.Check("read the printer's clock", [&] { return GetSystemClock(clock); });
    }
    std::string text = std::to_string(clock[0]) + "-" + TwoDigits(clock[1]) + "-" +
                       TwoDigits(clock[2]) + " " + TwoDigits(clock[3]) + ":" + TwoDigits(clock[4]) +
                       ":" + TwoDigits(clock[5]);
    s.Out().Say((s.Word(0) == "set" ? "Printer clock set to " : "Printer clock: ") + text);
    for (int i = 0; i < 6; ++i) s.Out().Set(clockFields[i], clock[i]);
    s.Out().Set("text", text);
}

void Year(Session &s) {
    if (s.Choice(0, {"get", "set"}) == "set") {
        s.ExpectWords(2, 2);
        long year = s.Number(1, "the year code", -32768, 65535);
        s.Connect();
        s.Check("set the year code", [&] { return SetCYear(static_cast<int32_t>(year)); });
        s.Out().Say("Year code set to " + std::to_string(year));
        s.Out().Set("year", year);
        return;
    }
    s.ExpectWords(1, 1);
    s.Connect();
    const char *text = nullptr;
    s.Check("read the year code", [&] { return GetCYear(&text); });
    s.Out().Say(std::string("Year code: ") + text);
    s.Out().Set("year", std::stol(text));
}

void RollHour(Session &s) {
    if (s.Choice(0, {"get", "set"}) == "set") {
        s.ExpectWords(2, 2);
        int32_t value = HourMinute(s.Word(1), "the roll-over hour");
        s.Connect();
        s.Check("set the roll-over hour", [&] { return SetRollHour(value); });
        s.Out().Say("Roll-over hour set to " + s.Word(1));
        s.Out().Set("rollHour", TwoDigits(value / 100) + ":" + TwoDigits(value % 100));
        return;
    }
    s.ExpectWords(1, 1);
    s.Connect();
    const char *text = nullptr;
    s.Check("read the roll-over hour", [&] { return GetRollHour(&text); });
    s.Out().Say(std::string("Roll-over hour: ") + text);
    s.Out().Set("rollHour", text);
}

Json ShiftList(const int8_t shifts[15], Report &out) {
    std::vector<Json> list;
    for (int g = 0; g < 5; ++g) {
        const int8_t *group = shifts + 3 * g;
        bool used = group[0] != 0 && group[0] != ' ';
        std::string time = TwoDigits(group[1]) + ":" + TwoDigits(group[2]);
        out.Say(
            "Shift " + std::to_string(g + 1) + ": " +
            (used ? std::string(1, static_cast<char>(group[0])) + " from " + time : "not used"));
        list.push_back(used ? Json::Object()
                                  .Add("code", std::string(1, static_cast<char>(group[0])))
                                  .Add("start", time)
                            : Json());
    }
    return Json::List(std::move(list));
}

void Shift(Session &s) {
    int8_t shifts[15] = {};
    if (s.Choice(0, {"get", "set"}) == "set") {
        s.ExpectWords(1, 6);
        for (int g = 0; g < 5; ++g) shifts[3 * g] = ' '; // the printer's mark of an empty shift
        for (size_t i = 1; i < s.WordCount(); ++i) {
            const std::string &word = s.Word(i);
            if (word.size() < 3 || word[1] != '=' || static_cast<unsigned char>(word[0]) <= ' ' ||
                static_cast<unsigned char>(word[0]) > 126)
                throw UsageError(
                    "a shift is CODE=HH:MM with a one-character code, for example A=06:00; not '" +
                    word + "'");
            int32_t start = HourMinute(word.substr(2), "the start of shift " + word.substr(0, 1));
            int8_t *group = shifts + 3 * (i - 1);
            group[0] = static_cast<int8_t>(word[0]);
            group[1] = static_cast<int8_t>(start / 100);
            group[2] = static_cast<int8_t>(start % 100);
        }
        s.Connect();
        s.Check("set the shifts", [&] { return SetZarelShift(shifts); });
    } else {
        s.ExpectWords(1, 1);
        s.Connect();
        s.Check("read the shifts", [&] { return GetShift(shifts); });
    }
    s.Out().Set("shifts", ShiftList(shifts, s.Out()));
}

void Counter(Session &s) {
    bool set = s.Choice(0, {"get", "set"}) == "set";
    s.ExpectWords(set ? 6 : 2, set ? 6 : 2);
    int32_t record[5] = {static_cast<int32_t>(s.Number(1, "the counter number", 0, 255)), 0, 0, 0,
                         0};
    int32_t second =
        static_cast<int32_t>(s.NumberOption("--second", "the second counter byte", 0, 255, 0));
    if (set) {
        for (int i = 1; i <= 3; ++i)
            record[i] = static_cast<int32_t>(s.Number(static_cast<size_t>(i + 1),
                                                      "counter value " + std::to_string(i),
                                                      INT32_MIN, INT32_MAX));
        record[4] = s.Choice(5, {"on", "off"}) == "on";
        s.Connect();
        s.Check("set counter " + std::to_string(record[0]),
                [&] { return SetZarelCount(record, second); });
    } else {
        s.Connect();
        s.Check("read counter " + std::to_string(record[0]),
                [&] { return GetCounter(record, second); });
    }
    s.Out().Say("Counter " + std::to_string(record[0]) + ": " + std::to_string(record[1]) + " " +
                std::to_string(record[2]) + " " + std::to_string(record[3]) + ", " +
                (record[4] ? "on" : "off"));
    s.Out().Set("counter", record[0]);
    s.Out().Set("values", Json::List({record[1], record[2], record[3]}));
    s.Out().Set("on", record[4] != 0);
}

void DateFormat(Session &s) {
    if (s.Choice(0, {"get", "set"}) == "set") {
        s.ExpectWords(1, 128);
        std::vector<uint8_t> codes{static_cast<uint8_t>(s.WordCount() - 1)};
        std::vector<Json> list;
        for (size_t i = 1; i < s.WordCount(); ++i) {
            codes.push_back(static_cast<uint8_t>(s.Number(i, "a date-format code", 0, 255)));
            list.push_back(codes.back());
        }
        s.Connect();
        s.Check("set the date format", [&] { return SetTDFormat(codes.data()); });
        s.Out().Say("Date format set (" + std::to_string(codes.size() - 1) + " codes)");
        s.Out().Set("codes", Json::List(std::move(list)));
        return;
    }
    s.ExpectWords(1, 1);
    s.Connect();
    const char *pattern = nullptr;
    int32_t found = 0;
    s.Check("read the date format", [&] { return (found = GetTDFormat(&pattern, 1)) != 0; });
    if (found == -1) {
        s.Out().Say("The printer has no time-date format");
        s.Out().Set("pattern", Json());
        s.Out().Set("codes", Json::List({}));
        return;
    }
    std::string readable = pattern;
    const char *raw = nullptr;
    s.Check("read the date format codes", [&] { return GetTDFormat(&raw, 0) != 0; });
    const uint8_t *counted = reinterpret_cast<const uint8_t *>(raw);
    std::vector<Json> list;
    std::string codes;
    for (int i = 1; i <= counted[0]; ++i) {
        list.push_back(counted[i]);
        codes += (codes.empty() ? "" : " ") + std::to_string(counted[i]);
    }
    s.Out().Say("Date format: " + readable);
    s.Out().Say("Codes: " + codes);
    s.Out().Set("pattern", readable);
    s.Out().Set("codes", Json::List(std::move(list)));
}

} // namespace

std::vector<Command> ClockCommands() {
    return {
        {"clock",
         "get | set now | set YYYY-MM-DD HH:MM:SS",
         "Read or set the printer's clock",
         "",
         {},
         Clock},
        {"year", "get | set N", "Read or set the printer's year code", "", {}, Year},
        {"roll-hour",
         "get | set HH:MM",
         "Read or set the hour at which the printer's day rolls over",
         "",
         {},
         RollHour},
        {"shift",
         "get | set [CODE=HH:MM ...]",
         "Read or set the five shifts: a one-character code and a start time",
         "'shift set A=06:00 B=14:00 C=22:00' sets three shifts and empties the other two.",
         {},
         Shift},
        {"counter",
         "get N | set N V1 V2 V3 on|off",
         "Read or set counter N: its three values and whether it counts",
         "",
         {{"--second", "B",
           "the second byte the printer takes with every counter request (default 0)"}},
         Counter},
        {"date-format",
         "get | set [CODE ...]",
         "Read the time-and-date format (readable pattern and raw codes) or set it",
         "Codes 0-31 are places of the layout YYYY/MM/DD hh:mm:ss JJJ WW w AAA (0-3 Y, 4 /, 5-6 M, "
         "7 /, 8-9 D, 10 blank,\n"
         "11-12 h, 13 :, 14-15 m, 16 :, 17-18 s, 19 blank, 20-22 J, 23 blank, 24-25 W, 26 blank, "
         "27 w, 28 blank,\n"
         "29-31 A); codes from 32 on print as that character. 'date-format set 0 1 2 3 4 5 6 7 8 "
         "9' is YYYY/MM/DD;\n"
         "'date-format set' with no codes switches the format off.",
         {},
         DateFormat},
    };
}

} // namespace zarelctl
