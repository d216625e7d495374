// Printer-side names taken from local paths, and the names of logo slots.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The file-name part of a local path: what follows the last "\" or ":", and on this platform also
// the last "/" (the whole path when it has none of them).
std::string_view FileNamePart(std::string_view path);

// The printer's file name of a logo slot: "LOGO", the second and third digits of slot + 100,
// ".BMP" (slot 5 gives "LOGO05.BMP").
std::string LogoSlotFileName(int32_t slot);
