#include "transfer/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

std::string ResolvedTarget(const std::string &target)
{
    struct stat status;
    if (lstat(target.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(target.c_str(), resolved) != nullptr)
            return resolved;
    }
    return target;
}

} // namespace

ReplacementFile::ReplacementFile(const std::string &target) : target_(ResolvedTarget(target))
{
    const size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
    const std::string name = target_.substr(folder.size());
    // Only a regular file is replaced: a device or folder of that name is no place for a fetch.
    struct stat status;
    if (name.empty() || (stat(target_.c_str(), &status) == 0 && !S_ISREG(status.st_mode)))
        return;
    static std::atomic<unsigned> serial{0};
    for (int tries = 0; tries < 100 && descriptor_ < 0; ++tries) {
        temporary_ = folder + "." + name + ".part-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
        // 0666 under the user's umask: the permissions a newly created file would get.
        descriptor_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ < 0 && errno != EEXIST)
            break;
    }
    if (descriptor_ < 0)
        temporary_.clear();
}

ReplacementFile::~ReplacementFile()
{
    Discard();
}

bool ReplacementFile::Write(const uint8_t *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(descriptor_, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ReplacementFile::Commit()
{
    struct stat status;
    mode_t mode;
    if (stat(target_.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        mode = status.st_mode & 07777;
    else if (fstat(descriptor_, &status) == 0)
        mode = status.st_mode & 07777;
    else
        return false;
    if (fchmod(descriptor_, mode | S_IRUSR | S_IWUSR) != 0 || fsync(descriptor_) != 0)
        return false;
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (close(descriptor) != 0 || rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacementFile::Discard()
{
    if (descriptor_ >= 0)
        close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty())
        unlink(temporary_.c_str());
    temporary_.clear();
}
