// Where Tegrola keeps its work files "tempold.bmp" and "tempnew.bmp".
#pragma once

#include <QString>

// The program's folder when the user may write there and it is not one of the system's program
// folders (/usr/..., /bin, /sbin: writable only for root, whose files there would outlive the
// package); otherwise the user's data folder, $XDG_DATA_HOME/Vantorleaf/Tegrola
// (~/.local/share/Vantorleaf/Tegrola), made when missing. No trailing separator.
QString WorkFolder(const QString &programDir);
