// Reading the counted texts and plain texts that the transfer exports receive.
#pragma once

#include <zarelcom/zarelcom.h>

#include <optional>
#include <string>
#include <string_view>

// The bytes of a counted text (its length from the field in front of the characters); empty for null.
std::string_view TextBytes(zc_text text);

// A local path to open: the text's bytes, refused (nullopt) when empty or when a zero byte inside
// would make the system open a different, shorter path.
std::optional<std::string> LocalPath(std::string_view text);
