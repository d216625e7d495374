// The Windows side of the transfers' local files. Paths are in the system's ANSI code page, as
// the library's texts reach the system everywhere else.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>

#include "transfer/LocalFiles.h"
#include "transfer/ReplacementFile.h"

namespace {

HANDLE AsHandle(intptr_t file) { return reinterpret_cast<HANDLE>(file); }

} // namespace

FileHandle OpenRegularFile(const std::string &path, int64_t &size) {
    // A disk file only: a pipe, a serial port or the console is refused before anything is read.
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    BY_HANDLE_FILE_INFORMATION information;
    LARGE_INTEGER length;
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !GetFileSizeEx(handle, &length)) {
        CloseHandle(handle);
        return nullptr;
    }
    // Binary mode: a byte 0x0A stays 0x0A, and 0x1A does not end the file.
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE *file = _fdopen(descriptor, "rb");
    if (file == nullptr) {
        _close(descriptor);
        return nullptr;
    }
    size = length.QuadPart;
    return FileHandle(file);
}

ReplacementFile::ReplacementFile(const std::string &target) : target_(target) {
    const size_t separator = target_.find_last_of("\\/:");
    const std::string folder =
        separator == std::string::npos ? std::string() : target_.substr(0, separator + 1);
    const std::string name = target_.substr(folder.size());
    // Only a regular file is replaced: a folder of that name is no place for a fetch.
    const DWORD attributes = GetFileAttributesA(target_.c_str());
    if (name.empty() ||
        (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return;
    static std::atomic<unsigned> serial{0};
    for (int tries = 0; tries < 100 && file_ == NoFile; ++tries) {
        temporary_ = folder + "." + name + ".part-" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(serial++);
        const HANDLE handle = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            file_ = reinterpret_cast<intptr_t>(handle);
        else if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (file_ == NoFile) temporary_.clear();
}

ReplacementFile::~ReplacementFile() { Discard(); }

bool ReplacementFile::Write(const uint8_t *data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(AsHandle(file_), data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool ReplacementFile::Commit() {
    if (!FlushFileBuffers(AsHandle(file_))) return false;
    const HANDLE handle = AsHandle(file_);
    file_ = NoFile;
    if (!CloseHandle(handle)) {
        Discard();
        return false;
    }
    // A read-only target would refuse to be replaced; the fetched file is writable, as the
    // library has always left it.
    const DWORD attributes = GetFileAttributesA(target_.c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) SetFileAttributesA(target_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!MoveFileExA(temporary_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (readOnly) SetFileAttributesA(target_.c_str(), attributes);
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacementFile::Discard() {
    if (file_ != NoFile) CloseHandle(AsHandle(file_));
    file_ = NoFile;
    if (!temporary_.empty()) DeleteFileA(temporary_.c_str());
    temporary_.clear();
}
