// The new version of a local file that a fetch writes: created beside the target under a
// temporary name and put in the target's place only when complete, so that a failed fetch leaves
// what the user had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ReplacementFile {
public:
    // Creates the temporary file in the target's folder (on Linux the folder of the file a
    // symbolic link points to, so that the link stays; on Windows "\\" and "/" both separate
    // folders). IsOpen() tells whether that worked; it does not for a target that exists and is
    // not a regular file (a device, a folder).
    explicit ReplacementFile(const std::string &target);
    // An uncommitted temporary file is removed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile &) = delete;
    ReplacementFile &operator=(const ReplacementFile &) = delete;

    bool IsOpen() const { return file_ != NoFile; }
    // Appends size bytes; false when they could not all be written (a full disk, say).
    bool Write(const uint8_t *data, size_t size);
    // Puts the written content on disk in the target's place, readable and writable: on Linux
    // for its owner, keeping the old file's other permissions; on Windows an existing target is
    // replaced also when it is marked read-only, and the new file is not. False leaves the target
    // as it was.
    bool Commit();

private:
    static constexpr intptr_t NoFile =
        -1; // no descriptor on Linux, INVALID_HANDLE_VALUE on Windows
    void Discard();

    std::string target_;
    std::string temporary_;
    intptr_t file_ = NoFile; // the temporary file: a descriptor, or a Windows handle
};
