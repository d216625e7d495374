// Every query and setting of zarelctl against the simulated printer: what people read, what
// scripts read, and what the printer holds afterwards.
#include "SimulatorFixture.h"

#include <unistd.h>

using zarelsim::PrinterState;

namespace {

#define EXPECT_CONTAINS(text, part)                                                                \
    EXPECT_NE((text).find(part), std::string::npos) << "in: " << (text)

class Queries : public ZarelctlOnSimulator {};
class Settings : public ZarelctlOnSimulator {};
class Calendar : public ZarelctlOnSimulator {};

TEST_F(Queries, InfoShowsThePrinterLineAsTheLogoToolDoes) {
    ProgramResult human = Ctl({"info"});
    ASSERT_EQ(human.exitCode, 0) << human.err;
    EXPECT_EQ(human.out,
              " ZAREL HP MODEL 230  V3.12 Ref. Date : 2025-6-15  S/N:20260001\nPrinter type: 2\n");

    Printer().Update([](PrinterState &state) {
        state.firmwareVersion = 205;
        state.referenceMonthDay = 62;
    });
    ProgramResult json = Ctl({"--json", "info"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"ok\":true,\"port\":5,\"baud\":19200,\"type\":2,\"model\":230,\"version\":205,"
              "\"serial\":20260001,\"refYear\":2025,\"refMonth\":2,\"refDay\":0,"
              "\"line\":\" ZAREL HP MODEL 230  V2.5 Ref. Date : 2025-2-0  "
              "S/N:20260001\",\"library\":247}\n");
}

TEST_F(Queries, EventsPacingGivesTheSameAnswers) {
    ProgramResult polled = Ctl({"--json", "info"});
    ProgramResult events = Ctl({"--json", "--pacing", "events", "info"});
    ASSERT_EQ(events.exitCode, 0) << events.err;
    EXPECT_EQ(events.out, "{\"ok\":true,\"pacing\":\"events\"," +
                              polled.out.substr(polled.out.find("\"port\"")));
}

TEST_F(Queries, StatusAndDiskReportWhatThePrinterHolds) {
    Printer().Update([](PrinterState &state) {
        state.printOn = 1;
        state.inkStatus = 255; // also the library's failure value: the tool must tell them apart
        state.messageNo = 12;
        state.logos[0] = {1, 2, 3};
    });
    ProgramResult status = Ctl({"status"});
    ASSERT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out, "Printing: on\nInk status: 255\nMessage: 12\nFree logo slot: 2\n");
    ProgramResult json = Ctl({"--json", "status"});
    EXPECT_CONTAINS(json.out, "\"printing\":true,\"ink\":255,\"message\":12,\"freeLogoSlot\":2}");

    uint32_t freeBytes = Printer().State().FreeDiskSpace();
    ProgramResult disk = Ctl({"--json", "disk"});
    ASSERT_EQ(disk.exitCode, 0) << disk.err;
    EXPECT_CONTAINS(disk.out,
                    "\"freeBytes\":" + std::to_string(freeBytes) + ",\"maxMessages\":100}");
}

TEST_F(Queries, PortsListTheSimulatorsEntry) {
    ProgramResult human = CtlAsIs({"ports"});
    ASSERT_EQ(human.exitCode, 0) << human.err;
    EXPECT_CONTAINS(human.out, "COM5  " + Printer().SlavePath() + "\n");
    ProgramResult json = CtlAsIs({"--json", "ports"});
    EXPECT_CONTAINS(
        json.out,
        "{\"port\":5,\"device\":\"" + Printer().SlavePath() +
            "\",\"byId\":null,\"description\":null,\"serialNumber\":null,\"usbVendor\":null,"
            "\"usbProduct\":null}");
    // What the list offers opens: a device the library refuses is not listed.
    std::string devNull = PortDirectory() + "/com8";
    ASSERT_EQ(symlink("/dev/null", devNull.c_str()), 0);
    EXPECT_EQ(CtlAsIs({"ports"}).out.find("/dev/null"), std::string::npos);
    // A listed device opens by its path as well as by its number.
    ProgramResult byPath = CtlAsIs({"-j", "-p", Printer().SlavePath(), "message", "get"});
    EXPECT_EQ(byPath.out, "{\"ok\":true,\"device\":\"" + Printer().SlavePath() +
                              "\",\"baud\":19200,\"message\":1}\n");
}

TEST_F(Queries, AutoFindsThePrinterAndItsRate) {
    // A second name for the same line makes it the first port of the search.
    std::string first = PortDirectory() + "/com1";
    ASSERT_EQ(symlink(Printer().SlavePath().c_str(), first.c_str()), 0);
    ProgramResult found = CtlAsIs({"--auto", "--json", "message", "get"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "{\"ok\":true,\"port\":1,\"device\":\"" + Printer().SlavePath() +
                             "\",\"baud\":19200,\"message\":1}\n");
    ProgramResult human = CtlAsIs({"-a", "message", "get"});
    EXPECT_EQ(human.out, "Printer found on COM1 at 19200 bit/s\nMessage: 1\n");
    // On the way it says what it tries.
    EXPECT_CONTAINS(human.err, "Trying COM1 (" + Printer().SlavePath() +
                                   ") at 9600 bit/s\nTrying COM1 (" + Printer().SlavePath() +
                                   ") at 19200 bit/s\n");
}

TEST_F(Settings, PrintMessageAndTaskReachThePrinter) {
    ProgramResult on = Ctl({"--json", "print", "on"});
    ASSERT_EQ(on.exitCode, 0) << on.err;
    EXPECT_CONTAINS(on.out, "\"printing\":true}");
    EXPECT_EQ(Printer().State().printOn, 1);
    EXPECT_EQ(Ctl({"print", "off"}).out, "Printing switched off\n");
    EXPECT_EQ(Printer().State().printOn, 0);

    EXPECT_EQ(Ctl({"message", "set", "7"}).exitCode, 0);
    EXPECT_EQ(Printer().State().messageNo, 7);
    EXPECT_EQ(Ctl({"message", "get"}).out, "Message: 7\n");

    EXPECT_EQ(Ctl({"task", "set", "3"}).exitCode, 0);
    EXPECT_EQ(Ctl({"task", "config", "4"}).exitCode, 0);
    EXPECT_EQ(Printer().State().taskNo, 3);
    EXPECT_EQ(Printer().State().taskConfig, 4);
    EXPECT_EQ(Ctl({"--json", "task", "get"}).out,
              "{\"ok\":true,\"port\":5,\"baud\":19200,\"answered\":true}\n");
    EXPECT_EQ(Ctl({"task", "stop"}).out, "Task stopped\n");
}

TEST_F(Settings, MeasureEncoderConveyorAndDelayRoundTrip) {
    EXPECT_EQ(Ctl({"measure", "1"}).exitCode, 0);
    EXPECT_EQ(Ctl({"measure"}).out, "Measure: 1\n");

    ProgramResult encoder = Ctl({"encoder", "1200", "-300", "--status", "2"});
    ASSERT_EQ(encoder.exitCode, 0) << encoder.err;
    EXPECT_EQ(Printer().State().encoder[1], -300);
    EXPECT_EQ(Printer().State().encoderStatus, 2);
    EXPECT_EQ(Ctl({"encoder"}).out, "Encoder: 1200 -300, status 2\n");
    EXPECT_CONTAINS(Ctl({"--json", "encoder"}).out, "\"values\":[1200,-300],\"status\":2}");

    EXPECT_EQ(Ctl({"conveyor", "77"}).exitCode, 0);
    EXPECT_EQ(Ctl({"conveyor"}).out, "Conveyor: 77\n");

    EXPECT_EQ(Ctl({"delay", "4", "250"}).exitCode, 0);
    EXPECT_EQ(Printer().State().messageDelays.at(4), 250);
    EXPECT_EQ(Ctl({"delay", "4"}).out, "Delay of message 4: 250\n");
    EXPECT_CONTAINS(Ctl({"--json", "delay", "4"}).out, "\"message\":4,\"delay\":250}");
}

TEST_F(Settings, LanguagesStringsAndMessagesFromHex) {
    EXPECT_EQ(Ctl({"lang", "get"}).out,
              "* 0  English\n  1  Chinese\n  2  Deutsch\nCurrent language: 0\n");
    EXPECT_EQ(Ctl({"lang", "set", "2"}).exitCode, 0);
    EXPECT_CONTAINS(Ctl({"--json", "lang", "get"}).out,
                    "\"language\":2,\"names\":[\"English\",\"Chinese\",\"Deutsch\"]}");

    ProgramResult stored = Ctl({"string", "set", "9", "Lot 42 \xB4\xFA"});
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_EQ(Printer().State().strings[9], "Lot 42 \xB4\xFA");
    EXPECT_EQ(Ctl({"string", "get", "9"}).out, "Lot 42 \xB4\xFA\n");
    EXPECT_CONTAINS(Ctl({"--json", "string", "get", "9"}).out,
                    "\"used\":true,\"text\":\"Lot 42 \\u00b4\\u00fa\"}");
    EXPECT_EQ(Ctl({"string", "get", "10"}).out, "String 10 is not used\n");

    ProgramResult loaded = Ctl({"load-msg", "3", "0A1bFF"});
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
    EXPECT_EQ(loaded.out, "Message 3 loaded (3 bytes)\n");
    EXPECT_EQ(Printer().State().messages.at(3), (zarelsim::Bytes{0x0A, 0x1B, 0xFF}));
}

TEST_F(Settings, LinkModeRateAndRestart) {
    EXPECT_EQ(Ctl({"mode", "terminal"}).out, "The printer is in terminal mode\n");
    EXPECT_EQ(Printer().Mode(), zarelsim::LinkMode::Terminal);
    EXPECT_EQ(Ctl({"--json", "mode", "packet"}).out,
              "{\"ok\":true,\"port\":5,\"baud\":19200,\"mode\":\"packet\"}\n");
    EXPECT_EQ(Printer().Mode(), zarelsim::LinkMode::Packet);

    ProgramResult baud = Ctl({"baud", "38400"});
    ASSERT_EQ(baud.exitCode, 0) << baud.err;
    EXPECT_EQ(Printer().Baud(), 38400u);
    EXPECT_EQ(Ctl({"--baud", "38400", "message", "get"}).exitCode, 0);

    EXPECT_EQ(Ctl({"--baud", "38400", "reboot"}).out, "The printer restarts\n");
    EXPECT_EQ(Printer().State().reboots, 1u);
}

TEST_F(Calendar, ClockYearAndRollHourRoundTrip) {
    ProgramResult set = Ctl({"clock", "set", "2027-03-04", "05:06:07"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, "Printer clock set to 2027-03-04 05:06:07\n");
    EXPECT_CONTAINS(Ctl({"clock", "get"}).out, "Printer clock: 2027-03-04 05:0");
    EXPECT_CONTAINS(Ctl({"--json", "clock", "get"}).out,
                    "\"year\":2027,\"month\":3,\"day\":4,\"hour\":5,");
    EXPECT_EQ(Ctl({"clock", "set", "now"}).exitCode, 0);
    EXPECT_GE(Printer().State().Clock().year, 2024);

    EXPECT_EQ(Ctl({"year", "set", "27"}).exitCode, 0);
    EXPECT_EQ(Ctl({"year", "get"}).out, "Year code: 27\n");
    EXPECT_EQ(Ctl({"--json", "year", "get"}).out,
              "{\"ok\":true,\"port\":5,\"baud\":19200,\"year\":27}\n");

    EXPECT_EQ(Ctl({"roll-hour", "set", "07:30"}).exitCode, 0);
    EXPECT_EQ(Printer().State().rollHour, 730);
    EXPECT_EQ(Ctl({"roll-hour", "get"}).out, "Roll-over hour: 07:30\n");
}

TEST_F(Calendar, ShiftsCountersAndDateFormatRoundTrip) {
    ProgramResult shifts = Ctl({"shift", "set", "A=06:00", "B=14:30"});
    ASSERT_EQ(shifts.exitCode, 0) << shifts.err;
    PrinterState state = Printer().State();
    EXPECT_EQ(state.shifts[1].code, 'B');
    EXPECT_EQ(state.shifts[1].hourMinute, 1430);
    EXPECT_EQ(state.shifts[2].code, ' ');
    EXPECT_EQ(Ctl({"shift", "get"}).out,
              "Shift 1: A from 06:00\nShift 2: B from 14:30\nShift 3: not used\n"
              "Shift 4: not used\nShift 5: not used\n");
    EXPECT_CONTAINS(Ctl({"--json", "shift", "get"}).out,
                    "\"shifts\":[{\"code\":\"A\",\"start\":\"06:00\"},{\"code\":\"B\",\"start\":"
                    "\"14:30\"},null,null,null]}");

    EXPECT_EQ(Ctl({"counter", "set", "2", "10", "-20", "30", "on"}).exitCode, 0);
    EXPECT_EQ(Printer().State().counters[2].values[1], -20);
    EXPECT_EQ(Ctl({"counter", "get", "2"}).out, "Counter 2: 10 -20 30, on\n");
    EXPECT_CONTAINS(Ctl({"--json", "counter", "get", "2"}).out,
                    "\"counter\":2,\"values\":[10,-20,30],\"on\":true}");

    EXPECT_EQ(Ctl({"date-format", "get"}).out,
              "Date format: YYYY/MM/DD\nCodes: 0 0 0 0 4 5 6 7 8 9\n");
    EXPECT_EQ(Ctl({"date-format", "set", "8", "9", "45", "5", "6", "13", "14", "15"}).exitCode, 0);
    EXPECT_EQ(Printer().State().dateFormat, (zarelsim::Bytes{8, 9, 45, 5, 6, 13, 14, 15}));
    EXPECT_EQ(Ctl({"--json", "date-format", "get"}).out,
              "{\"ok\":true,\"port\":5,\"baud\":19200,\"pattern\":\"DD-MM:mm\",\"codes\":[8,9,45,5,"
              "6,13,14,15]}\n");
    EXPECT_EQ(Ctl({"date-format", "set"}).exitCode, 0);
    EXPECT_EQ(Ctl({"date-format", "get"}).out, "The printer has no time-date format\n");
}

TEST_F(Settings, PrintHeadsCounterSystemDataAndBackupRegister) {
    ASSERT_EQ(Ctl({"head", "set", "2", "7", "9"}).exitCode, 0);
    ASSERT_EQ(Ctl({"head", "set", "2", "1", "0", "0", "0"}).exitCode, 0);
    ASSERT_EQ(Ctl({"head", "dpi", "2", "150"}).exitCode, 0);
    zarelsim::PrintHead head = Printer().State().heads[2];
    EXPECT_EQ(head.config[0], 7);
    EXPECT_EQ(head.config[1], 9);
    EXPECT_EQ(head.heightConfig, 1u);
    EXPECT_EQ(head.dpi, 150);
    EXPECT_EQ(Ctl({"head", "get", "2"}).exitCode, 0);
    EXPECT_EQ(Ctl({"head", "get", "9"}).exitCode, 1); // the printer has four heads

    for (const char *action : {"inc", "inc", "adjust"})
        ASSERT_EQ(Ctl({"print-command", action}).exitCode, 0) << action;
    EXPECT_EQ(Ctl({"print-command", "get"}).out, "Print-command counter: 1\n");
    ASSERT_EQ(Ctl({"print-command", "clear"}).exitCode, 0);
    EXPECT_EQ(Printer().State().productCounter, 0u);

    ProgramResult data = Ctl({"--json", "sys-data"});
    ASSERT_EQ(data.exitCode, 0) << data.err;
    zarelsim::Bytes expected = Printer().State().systemData;
    expected.resize(64, 0);
    std::string list;
    for (uint8_t byte : expected) list += (list.empty() ? "" : ",") + std::to_string(byte);
    EXPECT_CONTAINS(data.out, "\"data\":[" + list + "]}");
    EXPECT_EQ(Ctl({"backup-register"}).out, "Backup and restore register: 0\n");
}

} // namespace
