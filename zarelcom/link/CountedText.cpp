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

void AddReference(zc_text text) {
    TextHeader* header = HeaderOf(text);
    if (__atomic_load_n(&header->references, __ATOMIC_RELAXED) > 0)
        __atomic_add_fetch(&header->references, 1, __ATOMIC_RELAXED);
}
}  // namespace

int32_t TextLength(zc_text text) { return text ? HeaderOf(text)->length : 0; }

std::string_view TextView(zc_text text) {
    const int32_t length = TextLength(text);
    return length > 0 ? std::string_view(text, size_t(length)) : std::string_view();
}

zc_text NewText(std::string_view bytes) {
    if (bytes.empty()) return nullptr;
    if (bytes.size() > size_t(INT32_MAX)) throw std::bad_alloc();
    zc_text text = Allocate(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (!text) throw std::bad_alloc();
    return text;
}

TextArgument::TextArgument(zc_text text) : text_(text) {
    if (text_) AddReference(text_);
}

TextArgument::~TextArgument() { ReleaseText(text_); }

extern "C" ZARELCOM_API zc_text MakeText(const char* bytes, int32_t len) {
    if (len <= 0 || !bytes) return nullptr;
    return Allocate(bytes, len);
}

extern "C" ZARELCOM_API void ReleaseText(zc_text text) {
    if (!text) return;
    TextHeader* header = HeaderOf(text);
    if (__atomic_load_n(&header->references, __ATOMIC_RELAXED) <= 0) return;  // constant text
    if (__atomic_sub_fetch(&header->references, 1, __ATOMIC_ACQ_REL) == 0) std::free(header);
}
