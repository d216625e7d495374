#include "transfer/LocalPath.h"

std::optional<std::string> LocalPath(std::string_view text) {
    if (text.empty() || text.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(text);
}
