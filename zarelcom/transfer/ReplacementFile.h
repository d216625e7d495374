// The new version of a local file that a fetch writes: created beside the target under a
// temporary name and put in the target's place only when complete, so that a failed fetch leaves
// what the user had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ReplacementFile {
public:
    // Creates the temporary file in the target's folder, which is opened once and kept: on Linux
    // the file is made, put in place or removed in that folder even if it is moved meanwhile; on
    // Windows the folder cannot be moved while it is held. On Linux a symbolic link is followed
    // to the file it names, also one that does not exist yet, and that file is replaced: the link
    // stays. On Windows "\\" and "/" both separate folders. IsOpen() tells whether that worked;
    // it does not for a target that exists and is not a regular file (a device, a folder).
    explicit ReplacementFile(const std::string &target);
    // An uncommitted temporary file is removed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile &) = delete;
    ReplacementFile &operator=(const ReplacementFile &) = delete;

    bool IsOpen() const { return file_ != NoFile; }
    // Appends size bytes; false when they could not all be written (a full disk, say).
    bool Write(const uint8_t *data, size_t size);
    // Puts the written content on disk in the target's place, readable and writable: on Linux
    // for its owner, keeping an old file's owner and group where the system lets us and its
    // other permissions except set-user-id and set-group-id, which bytes from the printer never
    // get; on Windows an existing target is replaced also when it is marked read-only, and the
    // new file is not. False leaves the target as it was.
    bool Commit();
    // After a failure of the above: the system's error number of the reason (errno's numbers on
    // both systems).
    int Error() const { return error_; }

private:
    static constexpr intptr_t NoFile =
        -1; // no descriptor on Linux, INVALID_HANDLE_VALUE on Windows
    // Records the reason and returns false.
    bool Fail(int error);
    void Discard();

    intptr_t folder_ = NoFile; // the target's folder, held from first to last
    std::string name_;         // the target's name in it (on Windows: the target's path)
    std::string temporary_;    // the temporary file's name in it (on Windows: its path)
    intptr_t file_ = NoFile;   // the temporary file: a descriptor, or a Windows handle
    int error_ = 0;
};
