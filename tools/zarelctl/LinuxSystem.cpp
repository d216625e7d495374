#include "System.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zarelctl {

const char *const PathSeparators = "/";

LocalRefusal WhyNotWritable(const std::string &path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return {"it is a folder. Name a file in it", EISDIR};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return {"it is not a regular file (a device or a pipe). Name a file", EINVAL};
    // The fetched file is made in the folder of the file a link leads to; whether a file can be
    // made there is only known by making one.
    char resolved[PATH_MAX];
    std::string target = realpath(path.c_str(), resolved) ? resolved : path;
    size_t slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    std::string probe = folder + ".zarelctl-XXXXXX";
    int descriptor = mkstemp(probe.data());
    if (descriptor < 0) {
        int error = errno;
        return {"no new file can be made in " + folder + ": " + std::strerror(error), error};
    }
    close(descriptor);
    unlink(probe.c_str());
    return {};
}

ReadableFile OpenRegularFile(const std::string &path) {
    ReadableFile opened;
    // Not blocking: opening a pipe for reading would otherwise wait for a writer.
    int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat info {};
    if (descriptor < 0 || fstat(descriptor, &info) != 0) {
        int error = errno;
        if (descriptor >= 0) close(descriptor);
        opened.refusal = {std::strerror(error), error};
        return opened;
    }
    if (!S_ISREG(info.st_mode)) {
        close(descriptor);
        opened.refusal =
            S_ISDIR(info.st_mode)
                ? LocalRefusal{"it is a folder. Name a file", EISDIR}
                : LocalRefusal{"it is not a regular file (a device or a pipe). Name a file",
                               EINVAL};
        return opened;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    opened.file.reset(fdopen(descriptor, "rb"));
    if (!opened.file) {
        int error = errno;
        close(descriptor);
        opened.refusal = {std::strerror(error), error};
        return opened;
    }
    opened.size = info.st_size;
    return opened;
}

std::string SystemErrorText(int error) { return std::strerror(error); }

std::string DeviceGroup(const std::string &device) {
    struct stat info {};
    const group *owner =
        stat(device.c_str(), &info) == 0 && info.st_gid != 0 ? getgrgid(info.st_gid) : nullptr;
    return owner ? owner->gr_name : "";
}

void SetEnvironment(const char *name, const char *value) { setenv(name, value, 1); }

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string ProgramFolder() {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = length > 0 ? std::string(self, static_cast<size_t>(length)) : "";
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string RunInstead(const std::string &program, std::vector<std::string> args) {
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    execv(program.c_str(), argv.data());
    return std::strerror(errno);
}

} // namespace zarelctl
