// What the operator reads when a port did not open: the device the port led to, why it did not
// open, and what to do about it.
#pragma once

#include <QString>

// From the library's reason for a failed open (GetLastPortError, "Cannot open Com33:
// /dev/ttyUSB0: Permission denied (Error: 13)"), e.g. "COM33 (/dev/ttyUSB0) may not be opened by
// you. Add yourself to the group dialout ..."; portName as the window lists it ("COM33"). Empty
// for a message that is no failed open.
QString PortOpenAdvice(const QString &portName, const QString &libraryMessage);
