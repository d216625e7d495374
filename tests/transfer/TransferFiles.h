// Local files, folders and counted texts for the transfer tests.
#pragma once

#include <zarelcom/zarelcom.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A fresh folder in the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string Path(const std::string &name) const { return path_ + "/" + name; }
    // Names of the entries in the folder, or in its folder sub (to see that no temporary file
    // was left).
    std::vector<std::string> Entries(const std::string &sub = "") const;

private:
    std::string path_;
};

void WriteFile(const std::string &path, const Bytes &content);
Bytes ReadFile(const std::string &path);
// Bytes 0, 1, 2, ... (mod 251, so that blocks differ from each other).
Bytes Pattern(size_t size);
// The content plus the zero bytes that fill its last 512-byte block.
Bytes Padded(Bytes content);

struct TextReleaser {
    void operator()(const char *text) const { ReleaseText(text); }
};
using Text = std::unique_ptr<const char, TextReleaser>;
Text MakeCounted(const std::string &text);
