// A text the library hands out by address and keeps until the next call of the same function.
#pragma once

#include <algorithm>
#include <string_view>

template <std::size_t Capacity>
class HeldText {
public:
    const char *Hold(std::string_view text) {
        const std::size_t size = std::min(text.size(), Capacity);
        std::copy_n(text.data(), size, text_);
        text_[size] = '\0';
        return text_;
    }

private:
    char text_[Capacity + 1] = {};
};
