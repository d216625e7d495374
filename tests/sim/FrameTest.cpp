// The simulator's own frame reading and building.
#include "Frame.h"
#include "RawHost.h"

#include <gtest/gtest.h>

namespace zarelsim {
namespace {

using test::RequestFrame;

// Feeds everything; returns the results in order.
std::vector<FrameReader::Result> FeedAll(FrameReader& reader, const Bytes& bytes,
                                         size_t piece = SIZE_MAX) {
    std::vector<FrameReader::Result> results;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = std::min(bytes.size(), at + piece);
        while (at < end) {
            FrameReader::Result r;
            at += reader.Feed(bytes.data() + at, end - at, r);
            if (r.kind != FrameReader::Result::None) results.push_back(r);
        }
    }
    return results;
}

TEST(FrameTest, RepliesCarryLengthChecksumAndEtx) {
    EXPECT_EQ(BuildReply(0x80, {}), (Bytes{0x02, 0x00, 0x02, 0x30, 0x80, 0xB2, 0x03}));
    EXPECT_EQ(BuildErrorReply(16), (Bytes{0x02, 0x00, 0x03, 0x30, 0x31, 0x10, 0x74, 0x03}));
    // 516-byte payload: the sum wraps, the length is big-endian.
    const Bytes block = BuildReply('}', Bytes(514, 0xFF));
    ASSERT_EQ(block.size(), 521u);
    EXPECT_EQ(block[1], 0x02);
    EXPECT_EQ(block[2], 0x04);
    EXPECT_EQ(block[519], uint8_t(0x02 + 0x04 + 0x30 + '}' + 514 * 0xFF));
}

TEST(FrameTest, ReadsFramesWhateverPiecesTheyArriveIn) {
    Bytes stream = {0xFF, 0x00, '7'}; // noise before the first STX
    const Bytes first = RequestFrame({'0', 'B'});
    const Bytes second = RequestFrame({'0', '=', 5, 2, 'h', 'i'});
    stream.insert(stream.end(), first.begin(), first.end());
    stream.insert(stream.end(), second.begin(), second.end());
    for (size_t piece : {size_t(1), size_t(2), size_t(5), SIZE_MAX}) {
        FrameReader reader;
        const auto results = FeedAll(reader, stream, piece);
        ASSERT_EQ(results.size(), 2u) << "pieces of " << piece;
        EXPECT_EQ(results[0].kind, FrameReader::Result::Frame);
        EXPECT_EQ(results[0].payload, (Bytes{'0', 'B'}));
        EXPECT_EQ(results[1].payload, (Bytes{'0', '=', 5, 2, 'h', 'i'}));
        EXPECT_EQ(reader.SkippedBytes(), 3u);
        EXPECT_FALSE(reader.InFrame());
    }
}

TEST(FrameTest, FaultyFramesGetTheirErrorNumbers) {
    Bytes badSum = RequestFrame({'0', 'B'});
    badSum[5] ^= 1;
    Bytes noEtx = RequestFrame({'0', 'B'});
    noEtx[6] = 0x04;
    const Bytes tooShort = {0x02, 0x00, 0x01};
    const Bytes tooLong = {0x02, 0x04, 0x01};
    const std::pair<Bytes, uint8_t> cases[] = {{badSum, kBadChecksum},
                                               {noEtx, kMissingEtx},
                                               {tooShort, kBadLength},
                                               {tooLong, kBadLength}};
    for (const auto& [bytes, error] : cases) {
        FrameReader reader;
        const auto results = FeedAll(reader, bytes);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].kind, FrameReader::Result::BadFrame);
        EXPECT_EQ(results[0].error, error);
    }
}

TEST(FrameTest, TheLargestRequestFitsAndAfterABadLengthTheNextFrameIsFound) {
    FrameReader reader;
    Bytes stream = {0x02, 0xFF, 0xFF};
    const Bytes big = RequestFrame(Bytes(kMaxRequestPayload, '0'));
    stream.insert(stream.end(), big.begin(), big.end());
    const auto results = FeedAll(reader, stream);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].error, kBadLength);
    EXPECT_EQ(results[1].kind, FrameReader::Result::Frame);
    EXPECT_EQ(results[1].payload.size(), kMaxRequestPayload);
}

TEST(FrameTest, APartFrameKeepsTheReaderInTheFrameUntilReset) {
    FrameReader reader;
    const Bytes frame = RequestFrame({'0', 'B'});
    FrameReader::Result r;
    reader.Feed(frame.data(), 4, r);
    EXPECT_TRUE(reader.InFrame());
    reader.Reset();
    EXPECT_FALSE(reader.InFrame());
    const auto results = FeedAll(reader, frame);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].kind, FrameReader::Result::Frame);
}

} // namespace
} // namespace zarelsim
