// The window's captions in the three user-interface languages, in the order they are set.
#pragma once

#include <array>

// ComboBox4's positions of the languages; any other position shows the English captions.
enum TLanguageIndex { liEnglish = 0, liTraditionalChinese = 1, liSimplifiedChinese = 2 };

// One control's caption per language (UTF-8, blanks at the ends kept). A null text means that
// the language leaves the control's caption as it was.
struct TCaption {
    const char *Control; // object name; "StatusBar1" and "StatusBar2" mean their panel 0
    const char *English;
    const char *Traditional;
    const char *Simplified;
};

extern const std::array<TCaption, 19> CaptionTable;

// The caption of an entry for the language at a ComboBox4 position, or null for "unchanged".
const char *CaptionFor(const TCaption &caption, int languageIndex);
