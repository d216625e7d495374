// Clock, calendar year, roll-over hour, shifts and counters: records and texts to and from the
// wire, where hour and minute travel as one value hour x 100 + minute.
#include <charconv>
#include <string>

#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/Library.h"

namespace {

constexpr int kClockBytes = 5;
constexpr int kShiftGroups = 5;
constexpr int8_t kEmptyShift = ' ';
constexpr int kCounterValues = 4;
constexpr char kYearUnanswered[] = "dffd";

// "hh:mm" the printer's way: H + 100 and M + 100 joined by ":", less their first character and
// then the fourth of what is left, which for 0 to 9999 gives two digits each.
std::string HourMinuteText(int32_t value) {
    std::string text = std::to_string(value / 100 + 100) + ":" + std::to_string(value % 100 + 100);
    text.erase(0, 1);
    if (text.size() >= 4) text.erase(3, 1);
    return text;
}

} // namespace

extern "C" {

ZARELCOM_API zc_bool ZARELCOM_CALL GetSystemClock(int32_t clock[6]) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!clock || !ExchangeFor(link, command::GetSystemClock, 2 + kClockBytes)) return false;
        clock[0] = ReplySigned16(link, 0);
        for (int i = 0; i < kClockBytes; ++i) clock[1 + i] = ReplyByte(link, 2 + i);
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelClock(const int32_t clock[6]) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!clock) return false;
        Request request(command::SetZarelClock);
        request.Split16(2, clock[0]);
        for (int i = 0; i < kClockBytes; ++i) request.Byte(4 + i, clock[1 + i]);
        return Exchange(link, request);
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetCYear(const char **text) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!text) return false;
        *text = kYearUnanswered;
        if (!ExchangeFor(link, command::GetCYear, 2)) return false;
        char digits[8];
        const auto end = std::to_chars(digits, digits + sizeof digits, ReplySigned16(link, 0)).ptr;
        *text = link.yearText.Hold({digits, static_cast<std::size_t>(end - digits)});
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetCYear(int32_t year) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        Request request(command::SetCYear);
        return Exchange(link, request.Split16(2, year));
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetRollHour(const char **text) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!text || !ExchangeFor(link, command::GetRollHour, 2)) return false;
        *text = link.rollHourText.Hold(HourMinuteText(ReplySigned16(link, 0)));
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetRollHour(int32_t hourMinute) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        Request request(command::SetRollHour);
        return Exchange(link, request.Split16(2, hourMinute));
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetShift(int8_t shifts[15]) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!shifts || !ExchangeFor(link, command::GetShift, 3 * kShiftGroups)) return false;
        for (int g = 0; g < kShiftGroups; ++g) {
            const auto code = static_cast<int8_t>(ReplyByte(link, 3 * g));
            const int32_t time = ReplySigned16(link, 3 * g + 1);
            int8_t *group = &shifts[3 * g];
            const bool empty = code == kEmptyShift;
            group[0] = empty ? 0 : code;
            group[1] = empty ? 0 : static_cast<int8_t>(time / 100);
            group[2] = empty ? 0 : static_cast<int8_t>(time % 100);
        }
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelShift(const int8_t shifts[15]) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!shifts) return false;
        Request request(command::SetZarelShift);
        for (int g = 0; g < kShiftGroups; ++g) {
            const int8_t *group = &shifts[3 * g];
            request.Byte(2 + 3 * g, group[0]).Split16(3 + 3 * g, group[1] * 100 + group[2]);
        }
        return Exchange(link, request);
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetCounter(int32_t record[5], int32_t second) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!record) return false;
        Request request(command::GetCounter);
        if (!ExchangeFor(link, request.Byte(2, record[0]).Byte(3, second), 2 + 4 * kCounterValues))
            return false;
        record[0] = ReplyByte(link, 0);
        for (int i = 0; i < kCounterValues; ++i) record[1 + i] = ReplyLe32(link, 2 + 4 * i);
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelCount(const int32_t record[5], int32_t second) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!record) return false;
        Request request(command::SetZarelCount);
        request.Byte(2, record[0]).Byte(3, second);
        for (int i = 0; i < kCounterValues; ++i) request.Le32(4 + 4 * i, record[1 + i]);
        return Exchange(link, request);
    });
}

} // extern "C"
