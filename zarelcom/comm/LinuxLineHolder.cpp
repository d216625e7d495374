#include "comm/LinuxLineHolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

bool IsNumber(const std::string &text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

LineHolder Holder(int pid) {
    LineHolder holder;
    std::string program;
    if (pid <= 0) return holder;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    if (!std::getline(comm, program)) return holder;
    holder.pid = pid;
    holder.program = program;
    return holder;
}

// The process whose flock or record lock is on the file: what the library and most terminal
// programs take to keep a line to themselves.
int LockHolder(const struct stat &line) {
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%02x:%02x:%llu", major(line.st_dev), minor(line.st_dev),
                  static_cast<unsigned long long>(line.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string entry; std::getline(locks, entry);) {
        // "1: FLOCK  ADVISORY  WRITE 4242 00:1a:3 0 EOF"; "1: -> FLOCK ..." is a waiter.
        std::istringstream fields(entry);
        std::string number, kind, mode, access, pid, file;
        fields >> number >> kind >> mode >> access >> pid >> file;
        if (kind != "->" && file == wanted && IsNumber(pid)) return std::stoi(pid);
    }
    return 0;
}

// The pseudo-terminal index a master descriptor stands for, -1 for any other descriptor.
int MasterIndex(const std::string &fdinfo) {
    std::ifstream info(fdinfo);
    for (std::string field; std::getline(info, field);)
        if (field.rfind("tty-index:", 0) == 0) return std::stoi(field.substr(10));
    return -1;
}

// What one process has of the line: its terminal side open, and the master of that terminal.
struct Descriptors {
    bool line = false;
    bool master = false;
};

Descriptors DescriptorsOf(const std::string &pid, const struct stat &line, int ptyIndex) {
    Descriptors held;
    const std::string fds = "/proc/" + pid + "/fd";
    DIR *listing = ::opendir(fds.c_str());
    if (!listing) return held;
    while (const dirent *fd = ::readdir(listing)) {
        struct stat target {};
        const std::string path = fds + "/" + fd->d_name;
        if (!IsNumber(fd->d_name) || ::stat(path.c_str(), &target) != 0) continue;
        if (S_ISCHR(target.st_mode) && target.st_rdev == line.st_rdev) held.line = true;
        if (ptyIndex >= 0 && MasterIndex("/proc/" + pid + "/fdinfo/" + fd->d_name) == ptyIndex)
            held.master = true;
    }
    ::closedir(listing);
    return held;
}

// The index n of /dev/pts/n, -1 for a device that is no pseudo-terminal.
int PtyIndex(const std::string &device) {
    char resolved[PATH_MAX];
    if (!::realpath(device.c_str(), resolved)) return -1;
    const std::string path = resolved;
    const std::string prefix = "/dev/pts/";
    return path.rfind(prefix, 0) == 0 && IsNumber(path.substr(prefix.size()))
               ? std::stoi(path.substr(prefix.size()))
               : -1;
}

int OpenerOf(const struct stat &line, int ptyIndex) {
    DIR *processes = ::opendir("/proc");
    if (!processes) return 0;
    int found = 0;
    while (const dirent *process = ::readdir(processes)) {
        const std::string pid = process->d_name;
        if (!IsNumber(pid)) continue;
        const Descriptors held = DescriptorsOf(pid, line, ptyIndex);
        if (held.line && !held.master) {
            found = std::stoi(pid);
            break;
        }
    }
    ::closedir(processes);
    return found;
}

} // namespace

LineHolder FindLineHolder(const std::string &device) {
    struct stat line {};
    if (::stat(device.c_str(), &line) != 0 || !S_ISCHR(line.st_mode)) return {};
    LineHolder holder = Holder(LockHolder(line));
    if (holder.pid == 0) holder = Holder(OpenerOf(line, PtyIndex(device)));
    return holder;
}
