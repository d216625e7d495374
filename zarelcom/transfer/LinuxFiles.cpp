// The Linux side of the transfers' local files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "transfer/LocalFiles.h"
#include "transfer/ReplacementFile.h"

namespace {

int AsDescriptor(intptr_t file) { return static_cast<int>(file); }

std::string ResolvedTarget(const std::string &target) {
    struct stat status;
    if (lstat(target.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(target.c_str(), resolved) != nullptr) return resolved;
    }
    return target;
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

ReplacementFile::ReplacementFile(const std::string &target) : target_(ResolvedTarget(target)) {
    const size_t slash = target_.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
    const std::string name = target_.substr(folder.size());
    // Only a regular file is replaced: a device or folder of that name is no place for a fetch.
    struct stat status;
    if (name.empty() || (stat(target_.c_str(), &status) == 0 && !S_ISREG(status.st_mode))) return;
    static std::atomic<unsigned> serial{0};
    for (int tries = 0; tries < 100 && file_ == NoFile; ++tries) {
        temporary_ = folder + "." + name + ".part-" + std::to_string(getpid()) + "-" +
                     std::to_string(serial++);
        // 0666 under the user's umask: the permissions a newly created file would get.
        file_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file_ == NoFile && errno != EEXIST) break;
    }
    if (file_ == NoFile) temporary_.clear();
}

ReplacementFile::~ReplacementFile() { Discard(); }

bool ReplacementFile::Write(const uint8_t *data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(AsDescriptor(file_), data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ReplacementFile::Commit() {
    struct stat status;
    mode_t mode;
    if (stat(target_.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        mode = status.st_mode & 07777;
    else if (fstat(AsDescriptor(file_), &status) == 0)
        mode = status.st_mode & 07777;
    else
        return false;
    if (fchmod(AsDescriptor(file_), mode | S_IRUSR | S_IWUSR) != 0 ||
        fsync(AsDescriptor(file_)) != 0)
        return false;
    const int descriptor = AsDescriptor(file_);
    file_ = NoFile;
    if (close(descriptor) != 0 || rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacementFile::Discard() {
    if (file_ != NoFile) close(AsDescriptor(file_));
    file_ = NoFile;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}
