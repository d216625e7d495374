// The progress line after each block: its exact text, the retry note, and the callback it goes to.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include <string>
#include <vector>

#include "link/Exchange.h"
#include "ScriptedPrinter.h"
#include "TransferFiles.h"

namespace {

std::vector<std::string> lines;

void ZARELCOM_CALL Collect(const char *line) { lines.emplace_back(line); }

struct Figures {
    int64_t done, total;
    std::string line;
    bool operator==(const Figures &other) const {
        return done == other.done && total == other.total && line == other.line;
    }
};

void ZARELCOM_CALL CollectFigures(int64_t done, int64_t total, const char *line, void *seen) {
    static_cast<std::vector<Figures> *>(seen)->push_back({done, total, line});
}

class Progress : public ::testing::Test {
protected:
    void SetUp() override {
        lines.clear();
        CallBackMsgback(Collect);
        ProcessLink().retryCount = 0;
    }
};

TEST_F(Progress, LinesReadAsTheExamples) {
    const Text name = MakeCounted("C:\\logo.bmp");
    ShowTxRxInfo(name.get(), 1500, 1);
    ShowTxRxInfo(name.get(), 1500, 3);
    ShowTxRxInfo(name.get(), 10000, 1);
    ShowTxRxInfo(name.get(), 0, 2);
    ShowTxRxInfo(name.get(), 1, 1);
    ProcessLink().retryCount = 2;
    ShowTxRxInfo(name.get(), 4096, 4);
    ShowTxRxInfo(name.get(), 0, 1);

    EXPECT_EQ(lines, (std::vector<std::string>{
                         "C:\\logo.bmp  34% 512 / 1500 Bytes",
                         "C:\\logo.bmp  100%1536 / 1500 Bytes",
                         "C:\\logo.bmp  5%  512 / 10000 Bytes",
                         "1024 / 0",
                         "C:\\logo.bmp  100%512 / 1 Bytes",
                         "C:\\logo.bmp  50% 2048 / 4096 Bytes  Retry count:2",
                         "512 / 0  Retry count:2",
                     }));
}

TEST_F(Progress, EveryBlockOfATransferReportsWithTheRetryItNeeded) {
    TempFolder folder;
    const std::string path = folder.Path("logo.bmp");
    WriteFile(path, Pattern(1100));
    bool refusedOnce = false;
    ScriptedPrinter printer(42, ScriptedPrinter::Mode::Packet,
                            [&](const Bytes &frame) -> std::optional<Bytes> {
                                if (frame[4] == '~' && frame[5] == 2 && !refusedOnce) {
                                    refusedOnce = true;
                                    return Bytes{'1', 5};
                                }
                                return Ok();
                            });
    ASSERT_TRUE(OpenComPort(42));

    EXPECT_TRUE(StxSendLogo(MakeCounted(path).get(), 9));
    CloseComPort();

    EXPECT_EQ(lines, (std::vector<std::string>{
                         path + "  46% 512 / 1100 Bytes",
                         path + "  93% 1024 / 1100 Bytes  Retry count:1",
                         path + "  100%1536 / 1100 Bytes",
                     }));
}

TEST_F(Progress, TheFiguresComeWithTheLineToTheirOwnCallbackUntilItIsRemoved) {
    std::vector<Figures> seen, before;
    EXPECT_EQ(zc_set_progress(CollectFigures, &before), 0);
    EXPECT_EQ(zc_set_progress(CollectFigures, &seen), reinterpret_cast<intptr_t>(&before));
    const Text name = MakeCounted("C:\\logo.bmp");
    ShowTxRxInfo(name.get(), 1500, 3);
    ShowTxRxInfo(name.get(), 0, 2);
    EXPECT_EQ(zc_set_progress(nullptr, nullptr), reinterpret_cast<intptr_t>(&seen));
    ShowTxRxInfo(name.get(), 1500, 1);

    EXPECT_TRUE(before.empty());
    EXPECT_EQ(seen, (std::vector<Figures>{{1536, 1500, "C:\\logo.bmp  100%1536 / 1500 Bytes"},
                                          {1024, 0, "1024 / 0"}}));
    EXPECT_EQ(lines.size(), 3u) << "the message callback still gets every line";
}

} // namespace
