#include "System.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>

namespace zarelctl {

const char *const PathSeparators = "\\/:";

LocalRefusal WhyNotWritable(const std::string &path) {
    // Folder permissions are the system's to judge at the open; only a folder, the read-only mark
    // and a missing folder are seen beforehand.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {"it is a folder. Name a file in it", EISDIR};
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return {"it is marked read-only", EACCES};
    size_t separator = path.find_last_of(PathSeparators);
    if (attributes != INVALID_FILE_ATTRIBUTES || separator == std::string::npos) return {};
    DWORD folder = GetFileAttributesA(path.substr(0, separator + 1).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES || !(folder & FILE_ATTRIBUTE_DIRECTORY))
        return {"its folder " + path.substr(0, separator + 1) + " does not exist", ENOENT};
    return {};
}

std::string DeviceHolder(const std::string &) { return ""; }

std::string SystemErrorText(int error) {
    char text[256] = "";
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                       text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.'))
        words.pop_back();
    return words.empty() ? "system error " + std::to_string(error) : words;
}

std::string DeviceGroup(const std::string &) { return ""; }

void SetEnvironment(const char *name, const char *value) { _putenv_s(name, value); }

std::tm LocalTime(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}

std::string ProgramFolder() {
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path(self, length < sizeof self ? length : 0);
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

std::string RunInstead(const std::string &, std::vector<std::string>) {
    return "the Windows build has no logo helper: it needs Qt 6, which is not built for Windows "
           "here";
}

} // namespace zarelctl
