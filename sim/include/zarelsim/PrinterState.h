// What the simulated Zarel HP printer holds: its identity, settings, stores and counters. One
// instance lives inside a Simulator for the whole run (and, with a state folder, across runs).
// Tests read a copy with Simulator::State() and change it with Simulator::Update().
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zarelsim {

using Bytes = std::vector<uint8_t>;

constexpr int kLogoSlots = 50; // slots 1 to 50; the free-slot query answers 51 when all are taken
constexpr int kUserStrings = 256; // strings 0 to 255
constexpr int kCounters = 10;     // counters 0 to 9
constexpr int kPrintHeads = 4;    // heads 0 to 3
constexpr int kShifts = 5;
constexpr int kKeptAnnouncements = 100; // terminal-mode announcement lines kept (the latest)

// The printer's own calendar time, without a time zone.
struct ClockFields {
    int year = 2026, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const ClockFields& o) const;
};

struct Shift {
    uint8_t code = ' ';     // a space marks an empty shift slot
    int16_t hourMinute = 0; // hour x 100 + minute
};

struct Counter {
    int32_t values[3] = {0, 0, 0};
    int32_t on = 0; // non-zero: counting
};

struct PrintHead {
    uint8_t config[2] = {0, 0}; // the two bytes after the head number in SetPHCfg
    uint8_t dpi = 180;          // the value of SetPHDPI
    uint8_t fitted = 1;
    uint32_t heightConfig = 0; // the four bytes of SetPHCfgH
    uint32_t nozzles = 128;
    uint32_t dotsPrinted = 0;
};

struct PrinterState {
    PrinterState();

    // Identity, as GetSysInfo reports it.
    int32_t serialNumber = 20260001;
    int32_t modelNumber = 230;     // AutoConnect accepts a printer only above 100
    int32_t firmwareVersion = 312; // version x 100: 3.12
    int32_t referenceYear = 2025;
    int32_t referenceMonthDay = 6 * 31 + 15; // month x 31 + day
    uint8_t printerType = 2;
    Bytes systemData; // the 64 bytes of GetSysData (model and firmware as text)

    // Settings.
    uint8_t printOn = 0;
    uint8_t inkStatus = 0; // 0: ink in order
    uint8_t messageNo = 1;
    uint8_t taskNo = 0;
    uint8_t taskConfig = 0;
    uint8_t measure = 0; // 0 metric, 1 imperial
    uint8_t language = 0;
    std::vector<std::string> languages{"English ", "Chinese ", "Deutsch "}; // 8 bytes each
    int16_t maxMessages = 100;
    uint32_t diskCapacity = 8u << 20; // bytes; free space = capacity - stored bytes
    int32_t encoder[2] = {2500, 100}; // what "Y" reads and "Z" writes
    uint8_t encoderStatus = 0;
    int32_t conveyor = 0;
    std::array<PrintHead, kPrintHeads> heads{};
    std::map<int32_t, int32_t> messageDelays; // message number -> delay
    uint32_t productCounter = 0;              // the 0xF0 sub-command counter
    uint32_t productPreset = 0;               // what sub-command 0x13 loads
    uint8_t baudIndex = 1;                    // 0..4: 9600 19200 38400 57600 115200

    // Calendar. With clockRuns the clock ticks with the host's clock from the last setting on;
    // clockSeconds is then the printer's offset from the host's time, else its fixed time.
    bool clockRuns = true;
    int64_t clockSeconds = 0;
    int16_t yearCode = 26;
    int16_t rollHour = 600;
    std::array<Shift, kShifts> shifts{};
    std::array<Counter, kCounters> counters{};
    Bytes dateFormat{0, 0, 0, 0, 4, 5, 6, 7, 8, 9}; // codes: YYYY/MM/DD

    // Stores.
    std::array<std::string, kUserStrings> strings{};
    std::array<Bytes, kLogoSlots> logos{}; // logos[slot - 1]; empty: slot free
    std::map<int, Bytes> messages;         // message number -> message data
    std::map<std::string, Bytes> files;    // printer-side name ("bmp\x.bmp" for the bitmap folder)
    Bytes lastPrintImage;                  // the last image sent with "v"
    uint32_t printImages = 0;
    // SEND.LOGO / SEND.DOS / ... lines, in order: the last kKeptAnnouncements of them.
    std::vector<std::string> terminalAnnouncements;
    uint32_t reboots = 0;

    ClockFields Clock() const;                // the clock now
    bool SetClock(const ClockFields& fields); // false when the date or time does not exist
    int LowestFreeLogoSlot() const;           // 1..50, or 51 when every slot holds a logo
    uint32_t StoredBytes() const;
    uint32_t FreeDiskSpace() const;
    uint32_t BaudRate() const; // the rate of baudIndex
};

// The printer's baud-rate list, indexed by the "R" command's parameter.
constexpr std::array<uint32_t, 5> kPrinterBaudRates{9600, 19200, 38400, 57600, 115200};

} // namespace zarelsim
