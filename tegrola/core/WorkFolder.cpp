#include "core/WorkFolder.h"

#include "logo/FilePaths.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#define access _access
constexpr int kWritable = 2;
#else
#include <unistd.h>
constexpr int kWritable = W_OK;
#endif

namespace {

bool IsSystemProgramFolder(const std::string &folder) {
    for (const std::string system : {"/usr", "/bin", "/sbin"})
        if (folder == system || folder.rfind(system + "/", 0) == 0) return true;
    return false;
}

std::string Environment(const char *name) {
    const char *value = std::getenv(name);
    return value ? value : "";
}

std::filesystem::path UserDataFolder() {
#ifdef _WIN32
    return PathOf(Environment("LOCALAPPDATA")) / "Vantorleaf" / "Tegrola";
#else
    const std::string data = Environment("XDG_DATA_HOME");
    const std::filesystem::path base =
        data.empty() ? PathOf(Environment("HOME")) / ".local" / "share" : PathOf(data);
    return base / "Vantorleaf" / "Tegrola";
#endif
}

} // namespace

std::string WorkFolder(const std::string &programDir) {
    std::error_code status;
    const std::filesystem::path program = PathOf(programDir);
    // Symbolic links resolved: /bin may lead into /usr.
    const std::string real = std::filesystem::canonical(program, status).generic_string();
    if (!status && std::filesystem::is_directory(program, status) &&
        access(program.string().c_str(), kWritable) == 0 && !IsSystemProgramFolder(real)) {
        std::string folder = program.lexically_normal().u8string();
        while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
            folder.pop_back();
        return folder;
    }
    const std::filesystem::path data = UserDataFolder();
    std::filesystem::create_directories(data, status);
    return data.u8string();
}
