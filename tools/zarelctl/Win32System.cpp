#include "System.h"

#include <windows.h>

#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

ReadableFile OpenRegularFile(const std::string &path) {
    ReadableFile opened;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        opened.refusal = {"it is a folder. Name a file", EISDIR};
        return opened;
    }
    opened.file.reset(std::fopen(path.c_str(), "rb"));
    if (!opened.file) {
        int error = errno;
        opened.refusal = {std::strerror(error), error};
        return opened;
    }
    // Devices (CON, NUL, COM ports) and pipes open like files; only a file on disk is read.
    int descriptor = _fileno(opened.file.get());
    struct _stat64 info {};
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor))) != FILE_TYPE_DISK ||
        _fstat64(descriptor, &info) != 0 || !(info.st_mode & _S_IFREG)) {
        opened.file.reset();
        opened.refusal = {"it is not a regular file (a device or a pipe). Name a file", EINVAL};
        return opened;
    }
    opened.size = info.st_size;
    return opened;
}

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

std::tm LocalTimeNow() {
    const __time64_t now = _time64(nullptr);
    std::tm local{};
    _localtime64_s(&local, &now);
    return local;
}

std::string ProgramFolder() {
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path(self, length < sizeof self ? length : 0);
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

namespace {

// One argument as the C runtime of the program started reads it back: in quotes, with the
// backslashes before a quote (and before the closing one) doubled and the quote escaped.
std::string Quoted(const std::string &argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

} // namespace

// Windows has no exec: the program runs as a child on the same standard handles, and this tool
// ends with its exit status.
std::string RunInstead(const std::string &program, std::vector<std::string> args) {
    std::string commandLine;
    for (const std::string &argument : args)
        commandLine += (commandLine.empty() ? "" : " ") + Quoted(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child{};
    const std::string file = program + ".exe";
    if (!CreateProcessA(file.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &child))
        return SystemErrorText(static_cast<int>(GetLastError()));
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    std::exit(static_cast<int>(status));
}

} // namespace zarelctl
