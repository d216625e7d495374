#include "System.h"

#include <windows.h>

namespace zarelctl {

const char *const PathSeparators = "\\/:";

bool MayWrite(const std::string &path)
{
    // Folder permissions are the system's to judge at the open; only the read-only mark and a
    // missing folder are seen beforehand.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    size_t separator = path.find_last_of(PathSeparators);
    if (separator == std::string::npos)
        return true;
    DWORD folder = GetFileAttributesA(path.substr(0, separator + 1).c_str());
    return folder != INVALID_FILE_ATTRIBUTES && (folder & FILE_ATTRIBUTE_DIRECTORY);
}

std::tm LocalTime(std::time_t moment)
{
    std::tm local {};
    localtime_s(&local, &moment);
    return local;
}

std::string ProgramFolder()
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path(self, length < sizeof self ? length : 0);
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

std::string RunInstead(const std::string &, std::vector<std::string>)
{
    return "the Windows build has no logo helper: it needs Qt 6, which is not built for Windows here";
}

} // namespace zarelctl
