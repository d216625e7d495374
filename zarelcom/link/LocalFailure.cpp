#include "link/LocalFailure.h"

#include <cstring>
#include <string>

void KeepLocalFailure(Link &link, std::string_view what, int error) {
    const std::string message =
        std::string(what) + ": " + std::strerror(error) + " (Error: " + std::to_string(error) + ")";
    link.lastPortError.Keep(message.c_str(), error);
}
