// Two printers driven at once from two threads of one process, each thread on a link of its own:
// every link keeps its own port, receive buffer, error code and progress callback; a link freed
// while a call on it runs lives to the call's end.
#include "LibraryPrinter.h"

#include <gtest/gtest.h>
#include <zarelcom/zarelcom.hpp>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace zarelsim::test {
namespace {

constexpr int kRounds = 100; // a setting and a query each: 200 exchanges
constexpr int kLogoSlot = 7;
constexpr int32_t kRefusal = 9; // what the second printer answers its free-slot query with

// Message numbers up to 99, which the printer holds.
int32_t MessageNumber(int index, int round) { return round % 50 * 2 + index; }

std::atomic<int> progressLines[2];
void ZARELCOM_CALL ProgressOfFirst(const char*) { ++progressLines[0]; }
void ZARELCOM_CALL ProgressOfSecond(const char*) { ++progressLines[1]; }

// One printer's thread: what it does on its own link, and what it saw.
struct Drive {
    int index; // the message numbers it sets (even for the first, odd for the second) never meet
    zc_message_callback progress;
    std::string logo;
    int answeredRight = 0;
    bool logoSent = false;
    int32_t errorCode = -1;

    void Run(int port) {
        const std::string path =
            "/tmp/zarelcom-two-printers-" + std::to_string(getpid()) + "-" + std::to_string(index);
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(logo.data(), 1, logo.size(), file);
        std::fclose(file);

        zarelcom::Link link;
        const auto selected = link.Select();
        if (OpenComPort(port)) {
            CallBackMsgback(progress);
            for (int i = 0; i < kRounds; ++i) {
                const int32_t message = MessageNumber(index, i);
                if (SetMessageNo(message) && GetMessageNo() == message) ++answeredRight;
            }
            logoSent = StxSendLogo(zarelcom::Text(path), kLogoSlot);
            GetFreeLogoNo();
            errorCode = GetCurrErrCode();
        }
        std::remove(path.c_str());
    }
};

TEST(TwoPrinters, EachThreadOnItsOwnLinkSeesOnlyItsOwnPrinter) {
    const Options options[2] = {PrinterOnNewPort(), PrinterOnNewPort()};
    Simulator first(options[0]), second(options[1]);
    Simulator* printers[2] = {&first, &second};
    second.AddFault(ParseFault("error:" + std::to_string(kRefusal) + "@M"));
    first.Start();
    second.Start();
    Drive drives[2] = {{0, ProgressOfFirst, std::string(1300, 'A')},
                       {1, ProgressOfSecond, std::string(700, 'B')}};

    std::thread threads[2];
    for (int i = 0; i < 2; ++i)
        threads[i] = std::thread([&, i] { drives[i].Run(options[i].comNumber); });
    for (auto& thread : threads) thread.join();

    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("printer " + std::to_string(i + 1));
        EXPECT_EQ(drives[i].answeredRight, kRounds);
        EXPECT_TRUE(drives[i].logoSent);
        const PrinterState state = printers[i]->State();
        const Bytes& stored = state.logos[kLogoSlot - 1];
        EXPECT_EQ(std::string(stored.begin(),
                              stored.begin() + std::min(stored.size(), drives[i].logo.size())),
                  drives[i].logo);
        EXPECT_EQ(state.messageNo, MessageNumber(i, kRounds - 1));
    }
    EXPECT_EQ(progressLines[0], 3)
        << "1300 bytes are three blocks, each reported to the first link's callback";
    EXPECT_EQ(progressLines[1], 2);
    EXPECT_EQ(drives[0].errorCode, 0);
    EXPECT_EQ(drives[1].errorCode, kRefusal);
    EXPECT_EQ(GetCurrErrCode(), 0) << "the process-wide link saw none of it";
}

// The progress callback of a fetch that, at its first line, selects another link and frees the
// link the fetch runs on, on its own thread or on another one.
struct FreeingCallback {
    zc_link* running = nullptr;
    zc_link* next = nullptr;
    bool onAnotherThread = false;
    int lines = 0;
} freeing;

void SelectAwayAndFree(const char*) {
    if (freeing.lines++ > 0) return;
    zc_link_select(freeing.next);
    if (freeing.onAnotherThread)
        std::thread([] { zc_link_free(freeing.running); }).join();
    else
        zc_link_free(freeing.running);
}

TEST(TwoPrinters, ALinkFreedDuringACallOnItLivesToTheCallsEnd) {
    const std::string path = "/tmp/zarelcom-freed-link-" + std::to_string(getpid());
    const std::string content(1300, 'F'); // three blocks: two more after the first line
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    for (const bool onAnotherThread : {false, true}) {
        SCOPED_TRACE(onAnotherThread ? "freed by another thread" : "freed by the callback");
        zarelcom::Link next;
        freeing = {zc_link_new(), next.get(), onAnotherThread, 0};
        zc_link_select(freeing.running);
        bool fetched = false;
        {
            LibraryPrinter printer;
            ASSERT_TRUE(StxDownLoadFile(Text(path), Text("F.BIN")));
            CallBackMsgback(SelectAwayAndFree);
            fetched = StxUpLoadFile(Text(path + ".back"), Text("F.BIN"));
        }
        EXPECT_TRUE(fetched) << "the fetch went on to its end on the freed link";
        EXPECT_EQ(freeing.lines, 3);
        EXPECT_EQ(zc_link_select(nullptr), next.get()) << "the callback's selection holds";
        std::remove((path + ".back").c_str());
    }
    std::remove(path.c_str());
}

} // namespace
} // namespace zarelsim::test
