// A counted text for the library's text arguments, given back when it goes out of scope.
#pragma once

#include <zarelcom/zarelcom.h>

#include <string>

namespace zarelctl {

class CountedText {
public:
    explicit CountedText(const std::string &bytes) : text_(MakeText(bytes.data(), static_cast<int32_t>(bytes.size()))) {}
    ~CountedText() { ReleaseText(text_); }
    CountedText(const CountedText &) = delete;
    CountedText &operator=(const CountedText &) = delete;

    operator zc_text() const { return text_; }

private:
    zc_text text_;
};

} // namespace zarelctl
