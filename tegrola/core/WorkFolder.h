// Where Tegrola keeps its work files "tempold.bmp" and "tempnew.bmp".
#pragma once

#include <string>

// The program's folder when the user may write there and it is not one of the system's program
// folders (/usr/..., /bin, /sbin: writable only for root, whose files there would outlive the
// package); otherwise the user's data folder, made when missing: $XDG_DATA_HOME/Vantorleaf/Tegrola
// (~/.local/share/Vantorleaf/Tegrola) on Linux, %LOCALAPPDATA%\Vantorleaf\Tegrola on Windows.
// UTF-8, no trailing separator.
std::string WorkFolder(const std::string &programDir);
