// The send half of every transfer: a local file read one 512-byte block at a time straight into
// the block packet, each block acknowledged before the next goes out.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "transfer/Announce.h"
#include "transfer/LocalFiles.h"

// A file to send, opened for reading only (a read-only file is sent with its content), with its
// size. Null when the path names no readable regular file or one too long for the 32-bit length
// of the announcements (a file of 4 GiB and 462 bytes is refused, not taken for 462 bytes).
struct SendableFile {
    FileHandle file;
    int32_t size = -1;
};
SendableFile OpenForSending(std::string_view pathText);

// Blocks in a transfer of length bytes: (length + 511) / 512, none for 0 or below.
int32_t BlockCount(int32_t length);

// Sends blocks 1 .. BlockCount(length) from the file's current position, reporting progress
// under name after each; past the file's size the blocks are zero-filled. Stops before a block
// that cannot be read whole (a read error, or a file now shorter than its size at the open) and
// at the first block the printer does not acknowledge. True when every block went and there was
// at least one.
bool SendBlocks(Link &link, const SendableFile &source, std::string_view name, int32_t length);

// Announces a local file and sends it: the file is opened for reading first (nothing goes on the
// wire when that fails), the announcement made from its size by makeAnnouncement must be answered
// "O" (another code sets LastErrorCode 200), then its blocks follow, reported under pathText.
template <class MakeAnnouncement>
bool AnnounceAndSend(Link &link, std::string_view pathText, MakeAnnouncement makeAnnouncement) {
    SendableFile source = OpenForSending(pathText);
    if (!source.file) return false;
    auto announcement = makeAnnouncement(source.size);
    return AnnounceTransfer(link, announcement.Frame(), 'O', WrongReplyCode::SetsError200) &&
           SendBlocks(link, source, pathText, source.size);
}
