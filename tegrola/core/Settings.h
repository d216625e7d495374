// Tegrola's settings: six string values in the sections Comm, LogoFont and Lang, read and written
// through the view's store, with their forms and defaults.
#pragma once

#include "core/ViewInterfaces.h"

#include <string>

// What LoadSettings reads.
struct StoredSettings {
    bool autoConnect = false; // Comm/AutoConnect: "0" false, any other number true
    int commPort = 1;         // Comm/CommPort: 1-based position in the port list
    int baudIndex = 1;        // Comm/BaudRate: 0-4, 1 is 19200
    std::string fontName;     // LogoFont/FontName: "" keeps the font's name
    int fontSize = 8;         // LogoFont/FontSize: points
    bool languageStored = false;
    int languageIndex = 0; // Lang/Langurge: the position in the language box
};

class Settings {
public:
    explicit Settings(SettingsStore &store) : store_(store) {}

    StoredSettings Load();
    // SaveSettings: Comm/AutoConnect, Comm/CommPort, Comm/BaudRate and Lang/Langurge.
    void Save(bool autoConnect, int commPort, int baudIndex, int languageIndex);
    void SaveFont(const LogoFont &font);
    // Lang/Langurge; a language box without a selection (-1) stores nothing.
    void SaveLanguage(int languageIndex);

private:
    SettingsStore &store_;
};

// A decimal setting; otherwise when it is empty or no number.
int ParseDecimal(const std::string &text, int otherwise);
