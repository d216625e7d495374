// Every fault the simulated printer can produce against every kind of operation, on a real
// pseudo-terminal. Each cell checks the result, the last error code, that nothing is reported
// stored that the printer does not hold, and that the call ends within a generous bound of the
// time its retries and waits allow. The cells of one fault run side by side in separate processes
// (run_cells.sh), so the matrix costs about the sum of its slowest cell per fault.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "PrinterOnPty.h"
#include "link/Exchange.h"
#include "link/Library.h"

namespace {

constexpr int32_t kUntouched = 55;  // the last error code each cell starts from
constexpr double kAttemptMs = 7000; // more than the longest packet attempt the waits allow

// What a cell expects: success, a failure that leaves the last error code alone, or a failure
// with that code. Skipped: the cell costs minutes of mandated waits and is covered in virtual time.
constexpr int kSucceeds = -1, kUnchanged = -2, kSkipped = -3;

struct Operation {
    const char* name;
    std::string strikes;       // the commands its faults strike
    std::string transferStart; // where a hang-up is set up (the announcement or request)
    uint32_t printerRate;
    int attempts; // packet attempts it may make at most
    std::function<void(zarelsim::Simulator&)> prepare;
    std::function<bool()> call;
    std::function<void(zarelsim::Simulator&, bool ok)> check; // nothing reported that is not so
};

const Bytes kItem = Pattern(1000, 7); // two blocks, the second one part-filled
constexpr int kSlot = 7;
constexpr int kStringNumber = 9;
const char* const kStringText = "reliable line";

struct BlockTransfer {
    TemporaryFile file{kItem};
    FILE* stream = nullptr;
    int blocksDone = 0;
};
BlockTransfer* transfer = nullptr; // the block cells' file, alive for one cell

bool SendBlocks() {
    for (int n = 1; n <= 2; ++n) {
        if (!StxSendPack(uint8_t(n), transfer->stream)) return false;
        transfer->blocksDone = n;
    }
    return true;
}

// Each fetched block must be the item's bytes, the last one padded with zeros.
bool FetchBlocks() {
    for (int n = 1; n <= 2; ++n) {
        if (!StxGetPack(uint8_t(n))) return false;
        Bytes expected(512, 0);
        const size_t from = size_t(n - 1) * 512;
        std::copy(kItem.begin() + long(from),
                  kItem.begin() + long(std::min(kItem.size(), from + 512)), expected.begin());
        EXPECT_EQ(0, std::memcmp(ProcessLink().rcvBuffer + 4, expected.data(), 512))
            << "block " << n << " reported fetched but wrong";
        transfer->blocksDone = n;
    }
    return true;
}

SystemInfo info;
int32_t searchList[2];
const Bytes kOldContent = Pattern(100, 99);
TemporaryFile* fetched = nullptr; // the file fetch's local file, holding kOldContent at first

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"Query", "B", "B", 19200, 3,
         [](zarelsim::Simulator&) { std::memset(&info, 0x5A, sizeof info); },
         [] { return bool(GetSysInfo(&info)); },
         [](zarelsim::Simulator& printer, bool ok) {
             if (ok) {
                 EXPECT_EQ(info.ModelNo, printer.State().modelNumber);
                 EXPECT_EQ(info.SerialNo, printer.State().serialNumber);
             } else {
                 SystemInfo untouched;
                 std::memset(&untouched, 0x5A, sizeof untouched);
                 EXPECT_EQ(0, std::memcmp(&info, &untouched, sizeof info))
                     << "a failed query wrote its record";
             }
         }},
        {"Setting", "3", "3", 19200, 3, [](zarelsim::Simulator&) {},
         [] { return bool(SetMessageNo(42)); },
         [](zarelsim::Simulator& printer, bool ok) {
             if (ok) {
                 EXPECT_EQ(printer.State().messageNo, 42) << "reported set but not set";
             }
         }},
        {"String", "=", "=", 19200, 3, [](zarelsim::Simulator&) {},
         [] { return bool(StxSdStringC(kStringText, kStringNumber)); },
         [](zarelsim::Simulator& printer, bool ok) {
             if (ok) {
                 EXPECT_EQ(printer.State().strings[kStringNumber], kStringText)
                     << "reported stored but not stored";
             }
         }},
        {"BlockSend", "~", "|", 19200, 18,
         [](zarelsim::Simulator&) {
             Bytes announcement = LogoAnnouncement(int32_t(kItem.size()), kSlot);
             ASSERT_TRUE(SendPackToZarel(announcement.data()));
             ASSERT_EQ(ProcessLink().rcvBuffer[1], 'O');
             transfer->stream = std::fopen(transfer->file.Path().c_str(), "rb");
             ASSERT_NE(transfer->stream, nullptr);
         },
         SendBlocks,
         [](zarelsim::Simulator& printer, bool ok) {
             std::fclose(transfer->stream);
             if (ok) {
                 EXPECT_EQ(printer.State().logos[kSlot - 1], kItem)
                     << "reported sent but not stored";
             }
         }},
        {"BlockFetch", "}", "w", 19200, 18,
         [](zarelsim::Simulator& printer) {
             printer.Update([](zarelsim::PrinterState& s) { s.files["FETCH.BIN"] = kItem; });
             Bytes request = FileRequest("FETCH.BIN");
             ASSERT_TRUE(SendPackToZarel(request.data()));
             ASSERT_EQ(ProcessLink().rcvBuffer[1], 'w');
         },
         FetchBlocks, [](zarelsim::Simulator&, bool) {}},
        {"Search", "B", "B", 9600, 15,
         [](zarelsim::Simulator&) { searchList[0] = 2, searchList[1] = kPrinterCom; },
         [] { return bool(AutoConnect(searchList)); },
         [](zarelsim::Simulator&, bool ok) {
             EXPECT_EQ(searchList[0], ok ? 1 : 2);
             EXPECT_EQ(searchList[1], ok ? 0 : kPrinterCom);
         }},
        {"ToPacketMode", "E", "E", 19200, 15,
         [](zarelsim::Simulator& printer) {
             ASSERT_TRUE(SetCmdProtocol());
             ASSERT_EQ(printer.Mode(), zarelsim::LinkMode::Terminal);
         },
         [] { return bool(SetStxProtocol()); },
         [](zarelsim::Simulator& printer, bool ok) {
             if (ok) {
                 EXPECT_EQ(printer.Mode(), zarelsim::LinkMode::Packet);
             }
         }},
        {"ToTerminalMode", "0x80", "0x80", 19200, 0, [](zarelsim::Simulator&) {},
         [] { return bool(SetCmdProtocol()); },
         [](zarelsim::Simulator& printer, bool ok) {
             if (ok) {
                 EXPECT_EQ(printer.Mode(), zarelsim::LinkMode::Terminal);
             }
         }},
        {"LogoSend", "|,~", "|", 19200, 21, [](zarelsim::Simulator&) {},
         [] {
             const zc_text path =
                 MakeText(transfer->file.Path().data(), int32_t(transfer->file.Path().size()));
             const bool ok = StxSendLogo(path, kSlot);
             ReleaseText(path);
             return ok;
         },
         [](zarelsim::Simulator& printer, bool ok) {
             if (ok) {
                 EXPECT_EQ(printer.State().logos[kSlot - 1], kItem)
                     << "reported sent but not stored";
             }
         }},
        {"FileFetch", "w,}", "w", 19200, 21,
         [](zarelsim::Simulator& printer) {
             printer.Update([](zarelsim::PrinterState& s) { s.files["FETCH.BIN"] = kItem; });
         },
         [] {
             const std::string& local = fetched->Path();
             const zc_text path = MakeText(local.data(), int32_t(local.size()));
             const zc_text name = MakeText("FETCH.BIN", 9);
             const bool ok = StxUpLoadFile(path, name);
             ReleaseText(name);
             ReleaseText(path);
             return ok;
         },
         [](zarelsim::Simulator&, bool ok) {
             Bytes padded = kItem;
             padded.resize(1024, 0);
             EXPECT_EQ(fetched->Content(), ok ? padded : kOldContent)
                 << (ok ? "reported fetched but wrong" : "a failed fetch changed the local file");
         }},
    };
    return operations;
}

struct FaultRow {
    const char* name;
    const char* fault; // the simulator's fault, less the commands it strikes
    int expected[10];  // per operation, in the order of Operations()
};

constexpr int S = kSucceeds, U = kUnchanged, X = kSkipped;

// The printer's reply reaches the terminal switch only as an error (its 0x80 packet gets no reply
// otherwise). Refused, the switch makes its 25 prompt attempts of about 4 s each: 100 s of
// mandated waits, checked in virtual time by the link tests.
const FaultRow kRows[] = {
    //                        Query Setting String BlockSend BlockFetch Search ToPacket ToTerminal LogoSend FileFetch
    {"stray", "stray:3", {S, S, S, S, S, S, S, S, S, S}},
    {"stray11", "stray:11", {100, 100, 100, 100, 100, 100, 100, S, 100, 100}},
    {"truncate", "truncate", {102, 102, 102, 102, 102, 102, 102, S, 102, 102}},
    {"error", "error:7", {7, 7, 7, 7, 7, 7, 7, X, 7, 7}},
    {"error16", "error:16", {16, 16, 16, 16, 16, 16, 16, X, 16, 16}},
    {"silence", "silence", {U, U, U, U, U, U, U, S, U, U}},
    {"wrongcode", "wrongcode", {S, S, S, U, U, S, S, S, 200, 200}},
    {"delay", "delay:500", {S, S, S, S, S, S, S, S, S, S}},
    {"hangup", "hangup:1", {S, S, S, U, U, S, S, S, U, U}},
    {"drip", "drip:5", {S, S, S, S, S, S, S, S, S, S}},
};

struct Cell {
    const FaultRow* row;
    size_t operation;
};

std::vector<Cell> AllCells() {
    std::vector<Cell> cells;
    for (const FaultRow& row : kRows)
        for (size_t op = 0; op < Operations().size(); ++op) cells.push_back({&row, op});
    return cells;
}

class FaultMatrix : public ::testing::TestWithParam<Cell> {};

TEST_P(FaultMatrix, Cell) {
    const FaultRow& row = *GetParam().row;
    const Operation& op = Operations()[GetParam().operation];
    const int expected = row.expected[GetParam().operation];
    if (expected == kSkipped)
        GTEST_SKIP() << "minutes of mandated waits; covered by the link tests in virtual time";

    const bool hangUp = std::string(row.fault).rfind("hangup", 0) == 0;
    const std::string fault =
        std::string(row.fault) + "@" + (hangUp ? op.transferStart : op.strikes);
    zarelsim::Options options;
    options.baud = op.printerRate;
    options.faults.push_back(zarelsim::ParseFault(fault));
    PrinterOnPty line(options);
    BlockTransfer blocks;
    transfer = &blocks;
    TemporaryFile local(kOldContent, "fetched.bin");
    fetched = &local;
    op.prepare(line.Printer());
    if (HasFatalFailure()) return;

    ProcessLink().lastErrorCode = kUntouched;
    bool ok = false;
    const double elapsed = MillisecondsOf([&] { ok = op.call(); });

    EXPECT_EQ(ok, expected == kSucceeds) << op.name << " under " << fault;
    const int32_t code = ProcessLink().lastErrorCode;
    if (expected == kSucceeds || expected == kUnchanged)
        EXPECT_EQ(code, kUntouched) << op.name << " under " << fault;
    else
        EXPECT_EQ(code, expected) << op.name << " under " << fault;
    op.check(line.Printer(), ok);
    const double bound = op.attempts * kAttemptMs + (op.attempts == 0 ? 120000 : 3000);
    EXPECT_LT(elapsed, bound) << op.name << " under " << fault << " took " << elapsed << " ms";
    std::printf("%s under %s: %s, code %d, %.0f ms\n", op.name, fault.c_str(),
                ok ? "success" : "failure", code, elapsed);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(AllCells()),
                         [](const ::testing::TestParamInfo<Cell>& info) {
                             return std::string(info.param.row->name) + "_" +
                                    Operations()[info.param.operation].name;
                         });

} // namespace
