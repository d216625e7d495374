// Links made by callers and selected per thread: a new link starts as the process-wide one did,
// selection is per thread, a freed link or a refused selection fails safe and loud, handles are
// never reused, and the error table says what codes mean.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.hpp>

#include <future>
#include <string>
#include <thread>

#include "LinkTest.h"

namespace {

// The process-wide link is open on the virtual line (LinkTest); other links keep their own state.
class Links : public LinkTest {};

void ZARELCOM_CALL IgnoreLine(const char *) {}

TEST_F(Links, ANewLinkStartsClosedWithItsOwnStateAndSelectionIsPerThread) {
    AnswerEveryRequest(ErrorReply(7));
    EXPECT_EQ(GetPrintStatus(), -1);
    ASSERT_EQ(GetCurrErrCode(), 7);

    zarelcom::Link other;
    other([] {
        EXPECT_EQ(GetCurrErrCode(), 0) << "a new link's code is 0, as at load";
        EXPECT_EQ(sio_inque(), -1) << "a new link's port is closed";
        EXPECT_EQ(GetPrintStatus(), -1);
    });
    EXPECT_EQ(sio_inque(), 0) << "the process-wide port stayed open";

    std::thread([&] {
        EXPECT_EQ(GetCurrErrCode(), 7)
            << "a thread that never selects shares the process-wide link";
    }).join();
    EXPECT_EQ(zc_link_select(other.get()), nullptr);
    EXPECT_EQ(zc_link_select(nullptr), other.get());
    EXPECT_EQ(GetCurrErrCode(), 7);
}

TEST_F(Links, AFreedLinkFailsSafeInTheThreadThatStillHasItSelected) {
    zc_link *link = zc_link_new();
    ASSERT_NE(link, nullptr);
    std::promise<void> selected, freed;
    std::string message;
    bool opened = true;
    std::thread holder([&] {
        zc_link_select(link);
        selected.set_value();
        freed.get_future().wait();
        opened = OpenComPort(1);
        message = GetLastPortError();
        EXPECT_EQ(zc_link_select(nullptr), nullptr) << "the freed link is not handed back";
    });
    selected.get_future().wait();
    zc_link_free(link);
    freed.set_value();
    holder.join();
    EXPECT_FALSE(opened);
    EXPECT_EQ(message,
              "This thread's link was freed: select another with zc_link_select (Error: -1)");
}

TEST_F(Links, ARefusedSelectionLeavesTheThreadOnNoLinkUntilItSelectsAgain) {
    zarelcom::Link other;
    zc_link *stale = zc_link_new();
    zc_link_free(stale);
    ASSERT_EQ(zc_link_select(other.get()), nullptr);

    EXPECT_EQ(zc_link_select(stale), other.get()) << "the result is the link selected before";
    EXPECT_EQ(std::string(GetLastPortError()).rfind("No such link", 0), 0u);
    EXPECT_EQ(sio_inque(), -1) << "no call goes quietly to another link's printer";
    EXPECT_EQ(GetCurrErrCode(), -1);
    EXPECT_EQ(CallBackMsgback(IgnoreLine), 0);
    EXPECT_EQ(std::string(GetLastPortError()).rfind("No such link", 0), 0u) << "it stays said";

    EXPECT_EQ(zc_link_select(nullptr), nullptr);
    EXPECT_EQ(sio_inque(), 0) << "the process-wide link is selected again";
    EXPECT_STREQ(GetLastPortError(), "");
}

TEST_F(Links, AFreedHandleNeverNamesALinkMadeLater) {
    zc_link *freed = zc_link_new();
    zc_link_free(freed);
    zarelcom::Link later; // made where the freed one was, were handles addresses
    EXPECT_NE(later.get(), freed);
    zc_link_free(freed); // freeing twice is ignored and leaves the later link alone
    EXPECT_EQ(zc_link_select(later.get()), nullptr);
    EXPECT_STREQ(GetLastPortError(), "") << "the later link is live";
    EXPECT_EQ(zc_link_select(nullptr), later.get());
}

TEST(ErrorText, EveryCodeHasAMeaning) {
    const struct {
        int32_t code;
        const char *begins;
    } cases[] = {
        {0, "printer error 0"},
        {7, "printer error 7"},
        {16, "printer error 16: the printer refused the command"},
        {255, "printer error 255"},
        {ZC_ERR_NO_STX, "the reply held no frame start (STX)"},
        {ZC_ERR_NO_LENGTH, "the reply's length could not be read"},
        {ZC_ERR_SHORT_REPLY, "the reply was shorter than its length said"},
        {ZC_ERR_SILENT, "the line fell silent"},
        {ZC_ERR_BAD_REPLY, "the reply was damaged or too short"},
        {ZC_ERR_UNEXPECTED_REPLY, "the printer answered with another reply code"},
        {256, "unknown error code 256"},
        {-1, "unknown error code -1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(std::string(zc_error_text(c.code)).rfind(c.begins, 0), 0u) << c.code;
}

} // namespace
