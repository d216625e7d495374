// The printer's answers to each command, and its transfers, without a line in between.
#include "Frame.h"
#include "Printer.h"

#include <gtest/gtest.h>

namespace zarelsim {
namespace {

class PrinterTest : public ::testing::Test {
protected:
    Outcome Send(uint8_t command, Bytes params = {}) {
        params.insert(params.begin(), {'0', command});
        return printer.Handle(params);
    }
    static uint32_t Le32(const Bytes& d, size_t at) {
        return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | uint32_t(d[at + 3]) << 24;
    }
    void ExpectError(const Outcome& o, uint8_t number) {
        EXPECT_EQ(o.code, kErrorCode);
        ASSERT_EQ(o.data.size(), 1u);
        EXPECT_EQ(o.data[0], number);
    }
    Bytes Block(uint8_t number, uint8_t fill) {
        Bytes b{number, uint8_t(~number)};
        b.resize(514, fill);
        return b;
    }

    PrinterState state;
    Printer printer{state};
};

TEST_F(PrinterTest, QueriesReportTheStateInTheLayoutsTheHostReads) {
    state.modelNumber = 101;
    Outcome info = Send('B');
    EXPECT_EQ(info.code, 'B');
    ASSERT_EQ(info.data.size(), 20u);
    EXPECT_EQ(Le32(info.data, 0), uint32_t(state.serialNumber));
    EXPECT_EQ(Le32(info.data, 4), 101u);
    EXPECT_EQ(Le32(info.data, 8), 312u);

    Outcome type = Send('t');
    ASSERT_EQ(type.data.size(), 5u);
    EXPECT_EQ(type.data[4], state.printerType);

    state.languages = {"English", "Francais"};
    Outcome languages = Send('S');
    ASSERT_EQ(languages.data.size(), 2u + 16u);
    EXPECT_EQ(std::string(languages.data.begin() + 2, languages.data.end()), "English Francais");

    state.maxMessages = -1;
    EXPECT_EQ(Send('f').data, (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(Send('I').data.size(), 64u);

    Outcome free = Send('N');
    state.files["a"] = Bytes(1000);
    EXPECT_EQ(Le32(Send('N').data, 0), Le32(free.data, 0) - 1000);
}

TEST_F(PrinterTest, SettingsAreReadBackByTheirQueries) {
    EXPECT_EQ(Send('Z', {1, 2, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}).code, 'O');
    Outcome encoder = Send('Y');
    EXPECT_EQ(Le32(encoder.data, 0), 0x201u);
    EXPECT_EQ(Le32(encoder.data, 4), 0xFFFFFFFFu);

    Send('e', {7, 0, 0, 0, 0x10, 0x27, 0, 0});
    Outcome delay = Send('d', {7, 0, 0, 0});
    EXPECT_EQ(Le32(delay.data, 0), 7u);
    EXPECT_EQ(Le32(delay.data, 4), 10000u);
    EXPECT_EQ(Le32(Send('d', {8, 0, 0, 0}).data, 4), 0u);

    Send(';', {3, 9, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0});
    Outcome counter = Send(':', {3, 9});
    ASSERT_EQ(counter.data.size(), 18u);
    EXPECT_EQ(counter.data[0], 3);
    EXPECT_EQ(Le32(counter.data, 2), 1u);
    EXPECT_EQ(Le32(counter.data, 10), 3u);
    EXPECT_EQ(Le32(counter.data, 14), 1u);

    Send('9', {'A', 0x37, 0x09, ' ', 0, 0, 'B', 0, 0, 'C', 0xE8, 0x03, 'D', 0x1E, 0});
    EXPECT_EQ(Send('8').data,
              (Bytes{'A', 0x37, 0x09, ' ', 0, 0, 'B', 0, 0, 'C', 0xE8, 0x03, 'D', 0x1E, 0}));

    Send('7', {3, 0x2D, 11, 12});
    EXPECT_EQ(Send('6').data, (Bytes{3, 0x2D, 11, 12}));

    Send('=', {200, 3, 'a', 0, 'b'});
    EXPECT_EQ(Send('<', {200}).data, (Bytes{200, 3, 'a', 0, 'b'}));

    state.clockRuns = false;
    Send('5', {0xD5, 0x07, 2, 28, 23, 59, 30});
    EXPECT_EQ(Send('4').data, (Bytes{0xD5, 0x07, 2, 28, 23, 59, 30}));

    Send('`', {2, 7, 8});
    Send('a', {2, 1, 2, 3, 4});
    Send('c', {2, 150});
    Outcome head = Send('_', {2});
    ASSERT_EQ(head.data.size(), 17u);
    EXPECT_EQ((Bytes(head.data.begin(), head.data.begin() + 4)), (Bytes{2, 7, 8, 150}));
    EXPECT_EQ(Le32(head.data, 5), 0x04030201u);

    Send(0xF0, {0x11});
    Send(0xF0, {0x11});
    Outcome counted = Send(0xF0, {0x10});
    EXPECT_EQ(counted.code, 0xF0);
    EXPECT_EQ(counted.data, (Bytes{0x10, '2', 0}));
    Send(0xF0, {0x12});
    EXPECT_EQ(state.productCounter, 0u);
}

TEST_F(PrinterTest, RefusesWhatAPrinterCannotTake) {
    ExpectError(Send('Q'), kUnknownCommand);
    ExpectError(Send('B', {0}), kBadParameters);
    ExpectError(Send('=', {1, 5, 'a'}), kBadParameters);
    ExpectError(Send('F', {2}), kOutOfRange);
    ExpectError(Send('R', {5}), kOutOfRange);
    ExpectError(Send('5', {0xD5, 0x07, 2, 30, 0, 0, 0}), kOutOfRange); // 30 February
    ExpectError(Send('?', {0x3C, 0}), kOutOfRange);                    // 00:60
    ExpectError(Send(':', {kCounters, 0}), kOutOfRange);
    EXPECT_EQ(state.printOn, 0);
}

TEST_F(PrinterTest, TheFreeSlotIsTheLowestEmptyOneAnd51WhenAllAreTaken) {
    EXPECT_EQ(Send('M').data, Bytes{1});
    state.logos[0] = {1};
    state.logos[2] = {1};
    EXPECT_EQ(Send('M').data, Bytes{2});
    for (Bytes& logo : state.logos) logo = {1};
    EXPECT_EQ(Send('M').data, Bytes{51});
}

TEST_F(PrinterTest, ALogoIsStoredOnlyWhenItsLastBlockHasArrived) {
    // 700 bytes into slot 5: two blocks.
    EXPECT_EQ(Send('|', {0xBC, 0x02, 0, 0, 2, 5, 0}).code, 'O');
    EXPECT_EQ(Send('g').data, Bytes{1});
    EXPECT_EQ(Send('~', Block(1, 0xAA)).code, 'O');
    EXPECT_TRUE(state.logos[4].empty());
    EXPECT_EQ(Send('~', Block(1, 0xAA)).code, 'O'); // a repeat, as after a lost "O"
    Outcome last = Send('~', Block(2, 0xBB));
    EXPECT_EQ(last.code, 'O');
    EXPECT_EQ(last.logoStored, 5);
    ASSERT_EQ(state.logos[4].size(), 700u);
    EXPECT_EQ(state.logos[4][511], 0xAA);
    EXPECT_EQ(state.logos[4][512], 0xBB);
    EXPECT_EQ(Send('~', Block(2, 0xBB)).code, 'O'); // the last "O" lost: still acknowledged
    ExpectError(Send('~', Block(3, 0)), kOutOfSequence);
    EXPECT_EQ(Send('g').data, Bytes{0});
}

TEST_F(PrinterTest, BlocksOutOfOrderOrWithoutAnnouncementAreRefused) {
    ExpectError(Send('~', Block(1, 0)), kNoTransfer);
    Send('x', [] {
        Bytes p{0x00, 0x04, 0, 0, 3};
        const std::string name = "ABC";
        p.insert(p.end(), name.begin(), name.end());
        p.resize(29, ' ');
        return p;
    }());
    ExpectError(Send('~', Block(2, 0)), kOutOfSequence);
    Bytes badComplement = Block(1, 0);
    badComplement[1] = 0;
    ExpectError(Send('~', badComplement), kBadComplement);
    Send('~', Block(1, 'x'));
    Send('|', {10, 0, 0, 0, 2, 5, 0}); // a new announcement: the file transfer is dropped
    ExpectError(Send('~', Block(2, 'x')), kOutOfSequence);
    EXPECT_EQ(state.files.count("ABC"), 0u);
    printer.Restart();
    ExpectError(Send('~', Block(1, 'x')), kNoTransfer);
}

TEST_F(PrinterTest, AnnouncementsCheckKindSlotLengthAndRoom) {
    ExpectError(Send('|', {10, 0, 0, 0, 3, 5, 0}), kOutOfRange);            // kind 3 on a logo
    ExpectError(Send('|', {10, 0, 0, 0, 2, 51, 0}), kOutOfRange);           // slot 51
    ExpectError(Send('|', {0xFF, 0xFF, 0xFF, 0xFF, 2, 5, 0}), kOutOfRange); // length -1
    state.diskCapacity = 100;
    ExpectError(Send('|', {101, 0, 0, 0, 2, 5, 0}), kNoRoom);
    EXPECT_EQ(Send('|', {100, 0, 0, 0, 2, 5, 0}).code, 'O');
}

TEST_F(PrinterTest, AnAnnouncementTheDiskCouldNotHoldIsRefusedWhateverItsKind) {
    const struct {
        uint8_t command, kind;
        Bytes target; // slot, message number or name
    } kinds[] = {{'|', 2, {5, 0}}, {'x', 3, Bytes(24, 'A')}, {'z', 1, {3, 0}}, {'v', 4, {0, 0}}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(std::string(1, char(kind.command)));
        Bytes params{0xFF, 0xFF, 0xFF, 0x7F, kind.kind}; // 2^31 - 1 bytes
        params.insert(params.end(), kind.target.begin(), kind.target.end());
        ExpectError(Send(kind.command, params), kNoRoom);
    }
}

TEST(TransfersTest, AnAnnouncedItemGrowsWithItsBlocksInsteadOfBeingSetAside) {
    Transfers transfers;
    IncomingItem item;
    item.length = 8u << 20;
    transfers.BeginIncoming(item);
    EXPECT_EQ(transfers.BytesHeld(), 0u);
    Bytes block{1, 0xFE};
    block.resize(2 + kBlockSize, 0x55);
    uint8_t error = 0;
    std::optional<IncomingItem> done;
    ASSERT_EQ(transfers.TakeBlock(block.data(), block.size(), error, done),
              Transfers::BlockAnswer::Ack);
    EXPECT_LE(transfers.BytesHeld(), 2 * kBlockSize);
}

TEST_F(PrinterTest, RequestedFilesGoOutInBlocksWithTheirOwnCode) {
    state.files["bmp\\logo1.bmp"] = Bytes(1000, 0x5A);
    Bytes name(24, ' ');
    const std::string text = "bmp\\logo1.bmp";
    std::copy(text.begin(), text.end(), name.begin());
    Outcome request = Send('w', name);
    EXPECT_EQ(request.code, 'w');
    EXPECT_EQ(Le32(request.data, 0), 1000u);
    Outcome second = (Send('}', {1, 0xFE}), Send('}', {2, 0xFD}));
    EXPECT_EQ(second.code, '}');
    ASSERT_EQ(second.data.size(), 514u);
    EXPECT_EQ(second.data[0], 2);
    EXPECT_EQ(second.data[2 + 487], 0x5A);
    EXPECT_EQ(second.data[2 + 488], 0); // past the end: zero-filled
    ExpectError(Send('}', {3, 0xFC}), kOutOfSequence);

    Bytes parameters = {'Z', 'A', 'R', 'E', 'L', '.', 'P', 'A', 'R'};
    parameters.resize(23, ' ');
    parameters.push_back(0);
    EXPECT_EQ(Send('w', parameters).code, 'w'); // made up from the settings
    ExpectError(Send('w', Bytes(24, ' ')), kNotFound);
    ExpectError(Send('{', {7, 0}), kNotFound);
    EXPECT_EQ(Send(0x81, Bytes(24, ' ')).code, 0x81);
}

TEST_F(PrinterTest, ThePrintersOwnFilesAreMadeUpUnlessOneIsStoredUnderTheName) {
    auto request = [&](const std::string& name) {
        Bytes field(name.begin(), name.end());
        field.resize(24, ' ');
        const Outcome o = Send('w', field);
        EXPECT_EQ(o.code, 'w') << name;
        Bytes file;
        for (uint8_t block = 1; file.size() < Le32(o.data, 0); ++block) {
            const Outcome b = Send('}', {block, uint8_t(~block)});
            file.insert(file.end(), b.data.begin() + 2, b.data.end());
        }
        file.resize(Le32(o.data, 0));
        return std::string(file.begin(), file.end());
    };
    state.messages[1] = {1};
    state.messages[12] = {2};
    EXPECT_EQ(request("MsgName.dat"), "001 MSG001\r\n012 MSG012\r\n");
    EXPECT_EQ(request("ZAREL.PAR").rfind("SERIAL=20260001\r\n", 0), 0u);
    state.files["ZAREL.DAT"] = {'n', 'e', 'w'};
    EXPECT_EQ(request("ZAREL.PAR"), "new");
    state.files["MsgName.dat"] = {'A', 'B'};
    EXPECT_EQ(request("MsgName.dat"), "AB");
}

TEST_F(PrinterTest, ModeSwitchRestartAndBaudChangeAreActionsAfterTheReply) {
    Outcome terminal = Send(0x80);
    EXPECT_FALSE(terminal.answer);
    EXPECT_EQ(terminal.after, Outcome::ToTerminalMode);
    EXPECT_EQ(Send('P').after, Outcome::Reboot);
    Outcome baud = Send('R', {3});
    EXPECT_EQ(baud.code, 'O');
    EXPECT_EQ(baud.after, Outcome::ChangeBaud);
    EXPECT_EQ(state.BaudRate(), 57600u);
}

} // namespace
} // namespace zarelsim
