// Local paths as the transfer exports receive them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A local path to open: the text's bytes, refused (nullopt) when empty or when a zero byte inside
// would make the system open a different, shorter path.
std::optional<std::string> LocalPath(std::string_view text);
