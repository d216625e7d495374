// The Linux side of the transfers' local files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <string>
#include <tuple>
#include <utility>

#include "comm/LinuxDescriptors.h"
#include "transfer/LocalFiles.h"
#include "transfer/ReplacementFile.h"

namespace {

int AsDescriptor(intptr_t file) { return static_cast<int>(file); }

// As many symbolic links as the system itself follows in one path.
constexpr int kMostLinks = 40;

// The folder part of path ("." when there is none) and the name after its last "/".
std::pair<std::string, std::string> FolderAndName(const std::string &path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A folder opened only to work in it, relative to the folder from when folder is relative.
int OpenFolder(int from, const std::string &folder) {
    return openat(from, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

FileHandle OpenRegularFile(const std::string &path, int64_t &size) {
    // Without O_NONBLOCK a FIFO would hold the open until a writer came.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status;
    FILE *file = nullptr;
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) == 0)
        file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        close(descriptor);
        return nullptr;
    }
    size = status.st_size;
    return FileHandle(file);
}

ReplacementFile::ReplacementFile(const std::string &target) {
    auto [folder, name] = FolderAndName(target);
    int descriptor = OpenFolder(AT_FDCWD, folder);
    // A symbolic link leads to the file to replace, in that file's folder: the link stays, also
    // when the file it names is not there yet.
    char link[PATH_MAX];
    ssize_t length;
    for (int links = 0;
         descriptor >= 0 && (length = readlinkat(descriptor, name.c_str(), link, sizeof link)) >= 0;
         ++links) {
        if (links == kMostLinks) {
            close(descriptor);
            Fail(ELOOP);
            return;
        }
        std::tie(folder, name) = FolderAndName(std::string(link, static_cast<size_t>(length)));
        const int next = OpenFolder(link[0] == '/' ? AT_FDCWD : descriptor, folder);
        const int error = errno;
        close(descriptor);
        errno = error;
        descriptor = next;
    }
    if (descriptor < 0) {
        Fail(errno);
        return;
    }
    folder_ = descriptor;
    name_ = name;
    // Only a regular file is replaced: a device or folder of that name is no place for a fetch.
    struct stat status;
    if (name_.empty()) {
        Fail(EISDIR);
        return;
    }
    if (fstatat(descriptor, name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(status.st_mode)) {
        Fail(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        return;
    }
    static std::atomic<unsigned> serial{0};
    for (int tries = 0; tries < 100 && file_ == NoFile; ++tries) {
        // Short and not made from the target's name, which may be as long as a name can be.
        temporary_ =
            ".zarelcom-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".part";
        // 0666 under the user's umask: the permissions a newly created file would get.
        // Above the standard streams: what goes to standard error must not land in the file.
        file_ = AboveStandardStreams(
            openat(descriptor, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (file_ == NoFile && errno != EEXIST) break;
    }
    if (file_ == NoFile) {
        Fail(errno);
        temporary_.clear();
    }
}

ReplacementFile::~ReplacementFile() {
    Discard();
    if (folder_ != NoFile) close(AsDescriptor(folder_));
}

bool ReplacementFile::Write(const uint8_t *data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(AsDescriptor(file_), data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return Fail(errno);
        if (written == 0) return Fail(ENOSPC);
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ReplacementFile::Commit() {
    const int file = AsDescriptor(file_), folder = AsDescriptor(folder_);
    struct stat old, fresh;
    if (fstat(file, &fresh) != 0) return Fail(errno);
    const bool replacing =
        fstatat(folder, name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode);
    // Another user's file stays theirs when root fetches into it; a user who may not give a file
    // away gets it as their own.
    if (replacing && (old.st_uid != fresh.st_uid || old.st_gid != fresh.st_gid) &&
        fchown(file, old.st_uid, old.st_gid) != 0 && errno != EPERM)
        return Fail(errno);
    // Bytes from the printer never run with another user's or group's rights.
    const mode_t mode = (replacing ? old.st_mode : fresh.st_mode) & 07777 & ~(S_ISUID | S_ISGID);
    if (fchmod(file, mode | S_IRUSR | S_IWUSR) != 0 || fsync(file) != 0) return Fail(errno);
    file_ = NoFile;
    if (close(file) != 0 || renameat(folder, temporary_.c_str(), folder, name_.c_str()) != 0) {
        Fail(errno);
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
    if (file_ != NoFile) close(AsDescriptor(file_));
    file_ = NoFile;
    if (!temporary_.empty()) unlinkat(AsDescriptor(folder_), temporary_.c_str(), 0);
    temporary_.clear();
}
