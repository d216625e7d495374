// Counted texts (zc_text): [int32 reference count][int32 length][bytes][0], the pointer at the
// first byte; null is the empty text. A negative reference count marks a constant text that is
// never freed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "zarelcom/zarelcom.h"

// The length field; 0 for null.
int32_t TextLength(zc_text text);
// The text's bytes (length field, not the zero byte); empty for null and for a length field of 0
// or below.
std::string_view TextView(zc_text text);
// A new text holding bytes, reference count 1; null for an empty string. The caller (or the
// program the library hands it to) releases it with ReleaseText. Raises std::bad_alloc.
zc_text NewText(std::string_view bytes);

// Holds a reference to a caller's text for the duration of an export, as the text type's rule
// asks; constant texts are left untouched.
class TextArgument {
public:
    explicit TextArgument(zc_text text);
    ~TextArgument();
    TextArgument(const TextArgument&) = delete;
    TextArgument& operator=(const TextArgument&) = delete;
    std::string_view View() const { return TextView(text_); }

private:
    zc_text text_;
    bool held_; // a reference was taken
};
