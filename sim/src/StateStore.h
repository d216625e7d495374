// --state DIR: the printer's state across runs. "settings.txt" holds the settings, one per line;
// logos, messages and files lie beside it as files of their own ("logos/LOGO05.BMP",
// "messages/MSG003", "files/<name>", with every byte outside letters, digits, '.', '-' and '_'
// written as %HH, so "bmp\a.bmp" is "files/bmp%5Ca.bmp").
#pragma once

#include <zarelsim/PrinterState.h>

#include <string>

namespace zarelsim {

class StateStore {
public:
    explicit StateStore(std::string directory); // creates the folder; throws std::runtime_error

    // Reads what an earlier run saved into `state`; false when the folder holds no state yet.
    // Throws std::runtime_error for a settings file it cannot read.
    bool Load(PrinterState& state);
    // Writes what changed since the last Load or Save. Throws std::runtime_error.
    void Save(const PrinterState& state);

private:
    std::string directory_;
    std::string savedSettings_;
    PrinterState saved_;
};

// The settings part of a state as text, and back (false on a line it cannot read).
std::string SettingsText(const PrinterState& state);
bool ReadSettingsText(const std::string& text, PrinterState& state, std::string& badLine);

} // namespace zarelsim
