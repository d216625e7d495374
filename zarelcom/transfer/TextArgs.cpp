#include "transfer/TextArgs.h"

#include <cstdint>
#include <cstring>

std::string_view TextBytes(zc_text text)
{
    if (text == nullptr)
        return {};
    int32_t length;
    std::memcpy(&length, text - sizeof length, sizeof length);
    return length > 0 ? std::string_view(text, static_cast<size_t>(length)) : std::string_view();
}

std::optional<std::string> LocalPath(std::string_view text)
{
    if (text.empty() || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    return std::string(text);
}
