// Rows of the fault matrix under Wine: the Linux simulator, started with one fault on every
// command (ZARELCOM_TEST_FAULT) on its own COM port (ZARELCOM_TEST_FAULT_COM), against the Win32
// device in the pacing the environment chooses. Each operation must end with the matrix's result
// and last error code, and a failed query must leave its record alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <zarelcom/zarelcom.hpp>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "link/Link.h"

namespace {
namespace fs = std::filesystem;

constexpr int32_t kUntouched = 55; // the last error code each operation starts from
constexpr int kSucceeds = -1, kUnchanged = -2;
constexpr int S = kSucceeds, U = kUnchanged;

struct Row {
    const char *fault;
    int expected[4]; // Query, Setting, String, LogoSend
};

// As the matrix on Linux has them for these operations.
const Row kRows[] = {
    {"stray:3", {S, S, S, S}},          {"stray:11", {100, 100, 100, 100}},
    {"truncate", {102, 102, 102, 102}}, {"error:16", {16, 16, 16, 16}},
    {"silence", {U, U, U, U}},          {"wrongcode", {S, S, S, 200}},
    {"delay:500", {S, S, S, S}},        {"hangup:1", {S, S, S, U}},
    {"drip:5", {S, S, S, S}},
};

struct Operation {
    const char *name;
    std::function<bool()> call;
};

SystemInfo info;
std::string logoPath;

const Operation kOperations[] = {
    {"Query", [] { return bool(GetSysInfo(&info)); }},
    {"Setting", [] { return bool(SetMessageNo(42)); }},
    {"String", [] { return bool(StxSdStringC("reliable line", 9)); }},
    {"LogoSend",
     [] {
         const zc_text path = MakeText(logoPath.data(), int32_t(logoPath.size()));
         const bool ok = StxSendLogo(path, 7);
         ReleaseText(path);
         return ok;
     }},
};

const Row &ThisRow() {
    const char *fault = std::getenv("ZARELCOM_TEST_FAULT");
    for (const Row &row : kRows)
        if (fault && std::strcmp(row.fault, fault) == 0) return row;
    static const Row none{"(none)", {}};
    return none;
}

class FaultRow : public ::testing::TestWithParam<size_t> {
protected:
    static void SetUpTestSuite() {
        // One file for each row's process: the rows run side by side.
        logoPath = (fs::temp_directory_path() /
                    ("zarelcom-fault-row-" + std::to_string(::GetCurrentProcessId()) + ".bmp"))
                       .string();
        std::ofstream(logoPath, std::ios::binary) << std::string(1000, '\x5A'); // two blocks
    }
    static void TearDownTestSuite() { fs::remove(logoPath); }
    void SetUp() override {
        ASSERT_STRNE(ThisRow().fault, "(none)") << "ZARELCOM_TEST_FAULT names no row";
        const char *com = std::getenv("ZARELCOM_TEST_FAULT_COM");
        ASSERT_TRUE(com) << "ZARELCOM_TEST_FAULT_COM is not set";
        ASSERT_TRUE(OpenComPort(std::atoi(com)));
        ASSERT_TRUE(SetBaudRate(zarelcom::RateOrdinal(19200)));
    }
    void TearDown() override { CloseComPort(); }
};

TEST_P(FaultRow, EndsAsTheMatrixSays) {
    const Row &row = ThisRow();
    const Operation &op = kOperations[GetParam()];
    const int expected = row.expected[GetParam()];
    std::memset(&info, 0x5A, sizeof info);
    ProcessLink().lastErrorCode = kUntouched;
    const bool ok = op.call();
    EXPECT_EQ(ok, expected == kSucceeds) << op.name << " under " << row.fault;
    const int32_t code = ProcessLink().lastErrorCode;
    EXPECT_EQ(code, expected < 0 ? kUntouched : expected) << op.name << " under " << row.fault;
    if (GetParam() == 0 && !ok) {
        SystemInfo untouched;
        std::memset(&untouched, 0x5A, sizeof untouched);
        EXPECT_EQ(std::memcmp(&info, &untouched, sizeof info), 0)
            << "a failed query wrote its record";
    }
    std::printf("%s under %s: %s, code %d\n", op.name, row.fault, ok ? "success" : "failure", code);
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultRow, ::testing::Range<size_t>(0, std::size(kOperations)),
                         [](const ::testing::TestParamInfo<size_t> &info) {
                             return std::string(kOperations[info.param].name);
                         });

} // namespace
