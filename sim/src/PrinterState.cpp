#include <zarelsim/PrinterState.h>

#include <algorithm>
#include <ctime>

namespace zarelsim {
namespace {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

ClockFields FieldsOf(int64_t seconds) {
    int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) rest += 86400, --days;
    // Civil from days (inverse of DaysFromCivil).
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    ClockFields f;
    f.day = int(doy - (153 * mp + 2) / 5 + 1);
    f.month = int(mp < 10 ? mp + 3 : mp - 9);
    f.year = int(yoe + era * 400 + (f.month <= 2));
    f.hour = int(rest / 3600);
    f.minute = int(rest / 60 % 60);
    f.second = int(rest % 60);
    return f;
}

} // namespace

bool ClockFields::operator==(const ClockFields& o) const {
    return year == o.year && month == o.month && day == o.day && hour == o.hour &&
           minute == o.minute && second == o.second;
}

PrinterState::PrinterState() {
    static const char kText[] = "ZAREL HP 230 FW 3.12";
    systemData.assign(64, 0);
    std::copy(kText, kText + sizeof kText - 1, systemData.begin());
}

ClockFields PrinterState::Clock() const {
    return FieldsOf(clockRuns ? int64_t(std::time(nullptr)) + clockSeconds : clockSeconds);
}

bool PrinterState::SetClock(const ClockFields& f) {
    if (f.year < 1970 || f.year > 2199 || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > DaysInMonth(f.year, f.month) || f.hour < 0 || f.hour > 23 || f.minute < 0 ||
        f.minute > 59 || f.second < 0 || f.second > 59)
        return false;
    const int64_t seconds =
        DaysFromCivil(f.year, f.month, f.day) * 86400 + f.hour * 3600 + f.minute * 60 + f.second;
    clockSeconds = clockRuns ? seconds - int64_t(std::time(nullptr)) : seconds;
    return true;
}

int PrinterState::LowestFreeLogoSlot() const {
    for (int slot = 1; slot <= kLogoSlots; ++slot)
        if (logos[slot - 1].empty()) return slot;
    return kLogoSlots + 1;
}

uint32_t PrinterState::StoredBytes() const {
    uint64_t total = 0;
    for (const Bytes& logo : logos) total += logo.size();
    for (const auto& [number, data] : messages) total += data.size();
    for (const auto& [name, data] : files) total += data.size();
    return total > UINT32_MAX ? UINT32_MAX : uint32_t(total);
}

uint32_t PrinterState::FreeDiskSpace() const {
    const uint32_t used = StoredBytes();
    return used >= diskCapacity ? 0 : diskCapacity - used;
}

uint32_t PrinterState::BaudRate() const {
    return baudIndex < kPrinterBaudRates.size() ? kPrinterBaudRates[baudIndex]
                                                : kPrinterBaudRates[1];
}

} // namespace zarelsim
