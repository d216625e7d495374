// The transfers' local files on the system the tests run on: bytes read as they are, lengths
// beyond 32 bits, a fetched file that replaces its target whole, and no open that waits on
// something that is not a regular file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "TransferFiles.h"
#include "transfer/LocalFiles.h"
#include "transfer/ReplacementFile.h"

namespace {
namespace fs = std::filesystem;

Bytes ReadAll(FILE *file) {
    Bytes bytes(64);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    return bytes;
}

bool OwnerMayWrite(const std::string &path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) != fs::perms::none;
}
} // namespace

TEST(LocalFiles, ReadsLineEndsAndEndOfTextBytesAsTheyAre) {
    TempFolder folder;
    const Bytes content{0x0A, 0x0D, 0x0A, 0x1A, 0x00, 0xFF, 0x0A};
    WriteFile(folder.Path("binary.bin"), content);
    int64_t size = -1;
    const FileHandle file = OpenRegularFile(folder.Path("binary.bin"), size);
    ASSERT_TRUE(file);
    EXPECT_EQ(size, 7);
    EXPECT_EQ(ReadAll(file.get()), content);
}

TEST(LocalFiles, LengthBeyondThirtyTwoBits) {
    TempFolder folder;
    const std::string path = folder.Path("huge.bin");
    WriteFile(path, {});
    const int64_t length = (int64_t(1) << 32) + 462;
    fs::resize_file(path, static_cast<uintmax_t>(length)); // sparse: no disk space taken
    int64_t size = -1;
    EXPECT_TRUE(OpenRegularFile(path, size));
    EXPECT_EQ(size, length);
    // Too long for the announcements' 32-bit length: refused, not sent as a file of 462 bytes.
    const Text text = MakeCounted(path);
    EXPECT_EQ(GetFileLen(text.get(), 0x8002), -1);
    EXPECT_FALSE(StxSendAllPack(text.get(), 462));
}

// A FIFO that nobody writes would hold a blocking open for ever: the test would not return.
TEST(LocalFiles, SendingRefusesWhatIsNoRegularFileWithoutWaitingOnIt) {
    TempFolder folder;
    fs::create_directory(folder.Path("folder"));
    std::vector<std::string> refused = {folder.Path("folder"), folder.Path("missing")};
#ifdef _WIN32
    refused.push_back("NUL");
#else
    ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    refused.push_back(folder.Path("fifo"));
    refused.push_back("/dev/null");
#endif
    for (const std::string &path : refused) {
        SCOPED_TRACE(path);
        int64_t size = -1;
        EXPECT_FALSE(OpenRegularFile(path, size));
        const Text text = MakeCounted(path);
        EXPECT_EQ(GetFileLen(text.get(), 0x8002), -1);
        EXPECT_FALSE(StxSendAllPack(text.get(), 512));
        EXPECT_FALSE(StxSendFile(text.get(), nullptr, 1));
        EXPECT_FALSE(PrintImage(text.get(), 0));
        EXPECT_FALSE(RestoreMsg(path.c_str(), 1));
    }
}

TEST(ReplacementFiles, CommitPutsTheNewContentInTheTargetsPlace) {
    const Bytes fresh = Pattern(700);
    enum Target { Absent, Longer, ReadOnly };
    for (Target kind : {Absent, Longer, ReadOnly}) {
        SCOPED_TRACE(kind);
        TempFolder folder;
        const std::string target = folder.Path("target.bin");
        if (kind != Absent) WriteFile(target, Pattern(2000));
        if (kind == ReadOnly)
            fs::permissions(
                target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        ReplacementFile file(target);
        ASSERT_TRUE(file.IsOpen());
        ASSERT_TRUE(file.Write(fresh.data(), fresh.size()));
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(ReadFile(target), fresh);
        EXPECT_TRUE(OwnerMayWrite(target));
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"target.bin"});
    }
}

TEST(ReplacementFiles, UncommittedLeavesTheTargetAsItWas) {
    TempFolder folder;
    const std::string target = folder.Path("target.bin");
    WriteFile(target, Pattern(100));
    {
        ReplacementFile file(target);
        ASSERT_TRUE(file.IsOpen());
        ASSERT_TRUE(file.Write(Pattern(512).data(), 512));
    }
    EXPECT_EQ(ReadFile(target), Pattern(100));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"target.bin"});
    EXPECT_FALSE(ReplacementFile(folder.Path("")).IsOpen());
    fs::create_directory(folder.Path("folder"));
    EXPECT_FALSE(ReplacementFile(folder.Path("folder")).IsOpen());
}

#ifdef _WIN32
TEST(ReplacementFiles, BackslashesSeparateFoldersOnWindows) {
    TempFolder folder;
    fs::create_directory(folder.Path("sub"));
    std::string target = folder.Path("sub/target.bin");
    for (char &c : target)
        if (c == '/') c = '\\';
    ReplacementFile file(target);
    ASSERT_TRUE(file.IsOpen());
    ASSERT_TRUE(file.Write(Pattern(10).data(), 10));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(folder.Path("sub/target.bin")), Pattern(10));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sub"});
}

// Windows has no calls relative to an open folder: the folder is held against moves instead, so
// that the new file is put in place, or removed, where it was made.
TEST(ReplacementFiles, TheTargetsFolderCannotBeMovedDuringTheFetchOnWindows) {
    TempFolder folder;
    fs::create_directory(folder.Path("sub"));
    std::error_code refused;
    {
        ReplacementFile file(folder.Path("sub/target.bin"));
        ASSERT_TRUE(file.IsOpen());
        fs::rename(folder.Path("sub"), folder.Path("moved"), refused);
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_TRUE(refused);
    EXPECT_EQ(folder.Entries("sub"), std::vector<std::string>{"target.bin"});
    fs::rename(folder.Path("sub"), folder.Path("moved")); // free again once the fetch ended
}
#endif
