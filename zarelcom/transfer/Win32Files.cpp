// The Windows side of the transfers' local files. Paths are in the system's ANSI code page, as
// the library's texts reach the system everywhere else.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "transfer/LocalFiles.h"
#include "transfer/ReplacementFile.h"

namespace {

HANDLE AsHandle(intptr_t file) { return reinterpret_cast<HANDLE>(file); }

// The system's reason in errno's numbers, which the library's local failures carry everywhere.
int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}

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

ReplacementFile::ReplacementFile(const std::string &target) : name_(target) {
    const size_t separator = target.find_last_of("\\/:");
    const std::string folder =
        separator == std::string::npos ? std::string() : target.substr(0, separator + 1);
    const std::string name = target.substr(folder.size());
    // Only a regular file is replaced: a folder of that name is no place for a fetch.
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (name.empty() ||
        (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))) {
        Fail(EISDIR);
        return;
    }
    // Held without FILE_SHARE_DELETE, the folder cannot be moved or removed until the fetch
    // ends, so the temporary file is put in place or removed where it was made. Windows has no
    // calls relative to an open folder.
    const HANDLE held =
        CreateFileA((folder + ".").c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        Fail(ErrnoOf(GetLastError()));
        return;
    }
    folder_ = reinterpret_cast<intptr_t>(held);
    static std::atomic<unsigned> serial{0};
    for (int tries = 0; tries < 100 && file_ == NoFile; ++tries) {
        // Short and not made from the target's name, which may be as long as a name can be.
        temporary_ = folder + ".zarelcom-" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(serial++) + ".part";
        const HANDLE handle = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            file_ = reinterpret_cast<intptr_t>(handle);
        else if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (file_ == NoFile) {
        Fail(ErrnoOf(GetLastError()));
        temporary_.clear();
    }
}

ReplacementFile::~ReplacementFile() {
    Discard();
    if (folder_ != NoFile) CloseHandle(AsHandle(folder_));
}

bool ReplacementFile::Write(const uint8_t *data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(AsHandle(file_), data, chunk, &written, nullptr))
            return Fail(ErrnoOf(GetLastError()));
        if (written == 0) return Fail(ENOSPC);
        data += written;
        size -= written;
    }
    return true;
}

bool ReplacementFile::Commit() {
    if (!FlushFileBuffers(AsHandle(file_))) return Fail(ErrnoOf(GetLastError()));
    const HANDLE handle = AsHandle(file_);
    file_ = NoFile;
    if (!CloseHandle(handle)) {
        Fail(ErrnoOf(GetLastError()));
        Discard();
        return false;
    }
    // A read-only target would refuse to be replaced; the fetched file is writable, as the
    // library has always left it.
    const DWORD attributes = GetFileAttributesA(name_.c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) SetFileAttributesA(name_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!MoveFileExA(temporary_.c_str(), name_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Fail(ErrnoOf(GetLastError()));
        if (readOnly) SetFileAttributesA(name_.c_str(), attributes);
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

bool ReplacementFile::Fail(int error) {
    error_ = error;
    return false;
}

void ReplacementFile::Discard() {
    if (file_ != NoFile) CloseHandle(AsHandle(file_));
    file_ = NoFile;
    if (!temporary_.empty()) DeleteFileA(temporary_.c_str());
    temporary_.clear();
}
