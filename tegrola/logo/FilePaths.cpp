#include "logo/FilePaths.h"

#include <algorithm>
#include <system_error>

std::filesystem::path PathOf(const std::string &utf8) {
    // Deprecated in C++20 for char8_t, but the one spelling that means UTF-8 in C++17.
    return std::filesystem::u8path(utf8);
}

std::string ShownPath(const std::string &utf8) {
    std::string shown = utf8;
#ifdef _WIN32
    std::replace(shown.begin(), shown.end(), '/', '\\');
#endif
    return shown;
}

std::string SystemErrorText(int error) { return std::generic_category().message(error); }
