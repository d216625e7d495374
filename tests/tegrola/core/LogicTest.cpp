// Tegrola's logic on a virtual clock with a printer of the test's own: the automatic connection a
// second after start-up, Open Port, the send and its checks off the window's thread, the settings
// and languages, the text logo's fit and font, and the advice for ports that did not open.
#include "LogicFixtures.h"
#include "core/PortAdvice.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool Has(const std::vector<std::string> &texts, const std::string &text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(Logic, OneAutomaticConnectionASecondAfterStartUp) {
    LogicBench bench;
    bench.printer.searchFinds = false;
    bench.Start();
    bench.thread.Advance(999);
    EXPECT_FALSE(bench.logic->Busy());
    bench.thread.Advance(1);
    EXPECT_TRUE(bench.view.connecting);
    ASSERT_TRUE(bench.thread.RunUntil([&] { return !bench.logic->Busy(); }));
    EXPECT_EQ(bench.printer.searches, 1);
    EXPECT_EQ(bench.dialogs.messages, std::vector<std::string>{"Connect failure!!"});
    EXPECT_EQ(bench.view.status2, "Connect failure");
    // Never again, however long the window stays.
    bench.thread.Advance(3600 * 1000);
    EXPECT_EQ(bench.printer.searches, 1);
    EXPECT_FALSE(bench.view.connecting);
}

TEST(Logic, NoStartUpSearchAfterTheOperatorConnected) {
    LogicBench bench;
    bench.printer.printStatus = -1;
    bench.Connect(); // fails
    bench.thread.Advance(1000);
    EXPECT_FALSE(bench.logic->Busy());
    EXPECT_EQ(bench.printer.searches, 0);
}

TEST(Logic, AutoConnectShowsThePrinterAndStoresWhereItWas) {
    LogicBench bench;
    bench.Start().SpeedButton55Click();
    ASSERT_TRUE(bench.thread.RunUntil([&] { return !bench.logic->Busy(); }));
    EXPECT_TRUE(bench.logic->Connected());
    EXPECT_TRUE(bench.view.connected);
    EXPECT_EQ(bench.view.status2, " ZAREL HP MODEL 401  V2.6 Ref. Date : 2024-3-9  S/N:1234");
    EXPECT_EQ(bench.view.baud, 1);
    EXPECT_EQ(bench.view.portRateCode, ZC_BR19200);
    EXPECT_EQ(bench.store.values["Comm/BaudRate"], "1");
    EXPECT_TRUE(bench.dialogs.messages.empty());
}

TEST(Logic, ClosingDuringASearchEndsIt) {
    LogicBench bench;
    bench.printer.searchWaitsForStop = true;
    bench.Start().SpeedButton55Click();
    ASSERT_TRUE(bench.logic->Busy());
    bench.logic.reset(); // waits for the search's thread, which ends once its port is closed
    EXPECT_EQ(bench.printer.closed, 1);
    EXPECT_TRUE(bench.dialogs.messages.empty());
}

TEST(Logic, OpenPortTriesThreeTimes) {
    LogicBench bench;
    bench.printer.printStatus = -1; // the port opens, the printer does not answer
    bench.Connect();
    EXPECT_EQ(bench.printer.opened, 3);
    EXPECT_EQ(bench.view.status1, (std::vector<std::string>{"Try 1", "Try 2", "Try 3"}));
    EXPECT_EQ(bench.dialogs.messages, std::vector<std::string>{"Connect failure!!"});
    EXPECT_FALSE(bench.logic->Connected());
}

TEST(Logic, OpenPortSaysWhyThePortDidNotOpen) {
    LogicBench bench;
    bench.printer.opens = false;
    bench.printer.failure.kind = ZC_PORT_BUSY;
    std::strcpy(bench.printer.failure.device, "/dev/ttyUSB0");
    std::strcpy(bench.printer.failure.holder, "minicom");
    bench.printer.failure.holder_pid = 42;
    bench.Connect();
    EXPECT_EQ(bench.printer.opened, 1);
    EXPECT_EQ(
        bench.dialogs.messages,
        std::vector<std::string>{"Connect failure!!\n\nCOM1 (/dev/ttyUSB0) is held by another "
                                 "program (minicom, process 42). Close that program, then "
                                 "connect again."});
}

struct SendCase {
    const char *name;
    bool connect;
    int32_t length, slot;
    bool sends;
    std::string message, status, printerPanel;
};

TEST(Logic, SendLogoChecksThenSendsOffTheWindowsThread) {
    const std::string info = " ZAREL HP MODEL 401  V2.6 Ref. Date : 2024-3-9  S/N:1234";
    const SendCase cases[] = {
        {"not connected", false, 462, 7, true, " Not Connector ZAREL HP!!", "", ""},
        {"16000 bytes pass", true, 16000, 7, true, "", "OK", info + "   Logo in slot 7"},
        {"16001 bytes do not", true, 16001, 7, true, "Send error, LOGO size=16001 >16000 bytes!!",
         "", info},
        {"no slot number", true, 462, -1, true, "", "Get free Logo number error!!", info},
        {"slot 0", true, 462, 0, true, "", "Get free Logo number error!!", info},
        {"fifty full", true, 462, 51, true, "", "Fifty LOGOs are full!!", info},
        {"transfer fails", true, 462, 7, false, "", "Error!!", info},
    };
    for (const SendCase &c : cases) {
        SCOPED_TRACE(c.name);
        LogicBench bench;
        c.connect ? bench.Connect() : bench.Start();
        bench.printer.fileLength = c.length;
        bench.printer.freeSlot = c.slot;
        bench.printer.sends = c.sends;
        bench.view.status1.clear();
        bench.logic->SpeedButton47Click();
        ASSERT_TRUE(bench.thread.RunUntil([&] { return !bench.logic->Busy(); }));
        const std::vector<std::string> told =
            c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message};
        EXPECT_EQ(bench.dialogs.messages, told);
        const std::string sent =
            "Send Logo " + bench.logic->WorkFile("tempnew.bmp") + " " + c.status;
        if (c.status == "OK" || c.status == "Error!!") {
            EXPECT_EQ(bench.printer.sent, 1);
            EXPECT_EQ(bench.view.status1.back(), sent);
            EXPECT_TRUE(Has(bench.view.status1, "Send Logo Please Wait"));
        } else if (!c.status.empty()) {
            EXPECT_EQ(bench.view.status1, std::vector<std::string>{c.status});
        }
        if (c.status == "OK") {
            EXPECT_TRUE(Has(bench.view.status1, " Tx Block 1 of 1"));
        }
        EXPECT_EQ(bench.view.status2, c.printerPanel);
        // The controls wait while the printer is asked, and come back at the end.
        const bool asked = c.connect && c.length <= 16000;
        const std::vector<bool> waited =
            asked ? std::vector<bool>{true, false} : std::vector<bool>{};
        EXPECT_EQ(bench.view.sendingChanges, waited);
    }
}

TEST(Logic, SettingsTakeTheirFormsAndTheLanguageBoxStoresNoGap) {
    LogicBench bench;
    bench.store.values = {{"Comm/AutoConnect", "7"},
                          {"Comm/CommPort", "9"},
                          {"LogoFont/FontName", "DejaVu Sans"},
                          {"LogoFont/FontSize", "12"},
                          {"Lang/Langurge", "1"}};
    bench.Connect();
    EXPECT_EQ(bench.view.font.family, "DejaVu Sans");
    EXPECT_EQ(bench.view.font.points, 12);
    EXPECT_EQ(bench.view.captions["Label1"], "通訊阜  ");
    EXPECT_EQ(bench.store.values["Comm/AutoConnect"], "-1");
    EXPECT_EQ(bench.store.values["Comm/CommPort"], "0"); // no port was selected
    EXPECT_EQ(bench.store.values["Comm/BaudRate"], "1");
    EXPECT_EQ(bench.store.values["Lang/Langurge"], "1");

    // Typed text that names no language shows English and leaves the stored choice alone.
    bench.logic->ComboBox4TextEdited("abc");
    EXPECT_EQ(bench.view.captions["Label1"], "COM Port");
    EXPECT_EQ(bench.store.values["Lang/Langurge"], "1");
    bench.logic->ComboBox4TextEdited("simple chinese");
    EXPECT_EQ(bench.store.values["Lang/Langurge"], "2");
}

TEST(Logic, TextThatDoesNotFitIsToldBesideThePreview) {
    LogicBench bench;
    TegrolaLogic &logic = bench.Start();
    EXPECT_EQ(bench.view.textFit, "");
    logic.SpeedButton60Click(); // Right
    EXPECT_EQ(bench.view.textFit,
              "The text does not fit the logo: moved 1 dot past the right edge.");
    logic.SpeedButton61Click(); // Auto
    logic.Memo1Change("one\ntwo");
    logic.RadioGroup2Click(2); // 17 dots: the second line of 13 is cut
    EXPECT_EQ(bench.view.textFit,
              "The text does not fit the logo: 9 dots too tall for the 17-dot logo.");
    EXPECT_EQ(bench.view.textLogo.Height(), 17);
}

TEST(Logic, TheChosenFontIsUsedAndComesBackAfterARestart) {
    LogicBench bench;
    bench.dialogs.fontChosen = true;
    bench.dialogs.font = LogoFont{"DejaVu Serif", 5, true, false};
    bench.Start().SpeedButton50Click();
    EXPECT_EQ(bench.view.font, bench.dialogs.font);
    EXPECT_EQ(bench.view.textLogo.Width(), 5 * 13); // "This is Test." in it
    bench.logic.reset();
    bench.Start();
    EXPECT_EQ(bench.view.font.family, "DejaVu Serif");
    EXPECT_EQ(bench.view.font.points, 5);
}

struct AdviceCase {
    const char *port;
    int kind, error;
    const char *device;
    const char *advice;
};

TEST(PortAdvice, SaysWhatToDo) {
    const AdviceCase cases[] = {
        {"COM3", ZC_PORT_MISSING, 2, "", "No device belongs to COM3."},
        {"COM34", ZC_PORT_MISSING, 2, "/dev/ttyUSB1",
         "COM34 leads to /dev/ttyUSB1, which is not there."},
        {"COM1", ZC_PORT_NOT_SERIAL, 25, "/dev/null",
         "COM1 leads to /dev/null, which is not a serial port."},
        {"COM2", ZC_PORT_OTHER, 5, "/dev/ttyS1",
         "COM2 (/dev/ttyS1) did not open: Input/output error (system error 5)."},
        {"COM33", ZC_PORT_DENIED, 13, "/nonexistent/ttyUSB0",
         "COM33 (/nonexistent/ttyUSB0) may not be opened by you. Add yourself to the group dialout "
         "(sudo adduser $USER dialout), then log out and in again."},
        {"COM2", ZC_PORT_OK, 0, "/dev/ttyS1", ""},
    };
    for (const AdviceCase &c : cases) {
        zc_port_failure_info failure{};
        failure.kind = c.kind;
        failure.os_error = c.error;
        std::strcpy(failure.device, c.device);
        const std::string advice = PortOpenAdvice(c.port, failure);
        if (*c.advice) {
            EXPECT_EQ(advice.substr(0, std::strlen(c.advice)), c.advice) << advice;
        } else {
            EXPECT_EQ(advice, "");
        }
    }
}

} // namespace
