#include "core/Settings.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

int ParseDecimal(const std::string &text, int otherwise) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return otherwise;
    const std::string number = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    char *end = nullptr;
    const long long value = std::strtoll(number.c_str(), &end, 10);
    return *end == '\0' && value >= INT32_MIN && value <= INT32_MAX ? int(value) : otherwise;
}

namespace {

// A stored boolean: 0 is false, any other number true (also the words True and False).
bool ParseBoolean(const std::string &text) {
    if (const int number = ParseDecimal(text, INT32_MIN); number != INT32_MIN) return number != 0;
    std::string word = text;
    for (char &c : word) c = char(std::tolower(static_cast<unsigned char>(c)));
    return word == "true";
}

} // namespace

StoredSettings Settings::Load() {
    StoredSettings stored;
    stored.autoConnect = ParseBoolean(store_.Read("Comm", "AutoConnect"));
    stored.commPort = ParseDecimal(store_.Read("Comm", "CommPort"), 1);
    stored.baudIndex = ParseDecimal(store_.Read("Comm", "BaudRate"), 1);
    stored.fontName = store_.Read("LogoFont", "FontName");
    const int size = ParseDecimal(store_.Read("LogoFont", "FontSize"), 8);
    stored.fontSize = size > 0 ? size : 8;
    const std::string language = store_.Read("Lang", "Langurge");
    stored.languageStored = ParseDecimal(language, INT32_MIN) != INT32_MIN;
    if (stored.languageStored) stored.languageIndex = ParseDecimal(language, 0);
    return stored;
}

void Settings::Save(bool autoConnect, int commPort, int baudIndex, int languageIndex) {
    store_.Write("Comm", "AutoConnect", autoConnect ? "-1" : "0");
    store_.Write("Comm", "CommPort", std::to_string(commPort));
    store_.Write("Comm", "BaudRate", std::to_string(baudIndex));
    SaveLanguage(languageIndex);
}

void Settings::SaveFont(const LogoFont &font) {
    store_.Write("LogoFont", "FontName", font.family);
    store_.Write("LogoFont", "FontSize", std::to_string(font.points));
}

void Settings::SaveLanguage(int languageIndex) {
    if (languageIndex >= 0) store_.Write("Lang", "Langurge", std::to_string(languageIndex));
}
