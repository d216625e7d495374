#include "link/CountedText.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
struct TextHeader {
    int32_t references;
    int32_t length;
};

TextHeader* HeaderOf(zc_text text) {
    return reinterpret_cast<TextHeader*>(const_cast<char*>(text) - sizeof(TextHeader));
}

// Null when memory runs out.
zc_text Allocate(const char* bytes, int32_t length) {
    auto* header = static_cast<TextHeader*>(std::malloc(sizeof(TextHeader) + size_t(length) + 1));
    if (!header) return nullptr;
    header->references = 1;
    header->length = length;
    char* characters = reinterpret_cast<char*>(header + 1);
    std::memcpy(characters, bytes, size_t(length));
    characters[length] = '\0';
    return characters;
}

// False for a constant text, and for one whose count is at its maximum: one more would wrap it
// into a constant's and the text would never be freed. Such a text lives through the call anyway.
bool AddReference(zc_text text) {
    TextHeader* header = HeaderOf(text);
    int32_t references = __atomic_load_n(&header->references, __ATOMIC_RELAXED);
    do {
        if (references <= 0 || references == INT32_MAX) return false;
    } while (!__atomic_compare_exchange_n(&header->references, &references, references + 1, true,
                                          __ATOMIC_RELAXED, __ATOMIC_RELAXED));
    return true;
}
} // namespace

int32_t TextLength(zc_text text) { return text ? HeaderOf(text)->length : 0; }

std::string_view TextView(zc_text text) {
    const int32_t length = TextLength(text);
    // Never a null pointer, not even for the empty text: callers copy from it.
    return length > 0 ? std::string_view(text, size_t(length)) : std::string_view("", 0);
}

zc_text NewText(std::string_view bytes) {
    if (bytes.empty()) return nullptr;
    if (bytes.size() > size_t(INT32_MAX)) throw std::bad_alloc();
    zc_text text = Allocate(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (!text) throw std::bad_alloc();
    return text;
}

TextArgument::TextArgument(zc_text text) : text_(text), held_(text && AddReference(text)) {}

TextArgument::~TextArgument() {
    if (held_) ReleaseText(text_);
}

extern "C" ZARELCOM_API zc_text ZARELCOM_CALL MakeText(const char* bytes, int32_t len) {
    if (len <= 0 || !bytes) return nullptr;
    return Allocate(bytes, len);
}

extern "C" ZARELCOM_API void ZARELCOM_CALL ReleaseText(zc_text text) {
    if (!text) return;
    TextHeader* header = HeaderOf(text);
    if (__atomic_load_n(&header->references, __ATOMIC_RELAXED) <= 0) return; // constant text
    if (__atomic_sub_fetch(&header->references, 1, __ATOMIC_ACQ_REL) == 0) std::free(header);
}
