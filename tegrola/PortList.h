// The serial ports of this machine as the library numbers them ("COM" n).
#pragma once

#include <QList>

// The COM numbers that OpenComPort can open, ascending: every entry com<n> of the port directory
// ($ZARELCOM_PORT_DIR, by default $XDG_CONFIG_HOME/zarelcom/ports, ~/.config/zarelcom/ports),
// and every default device that exists and is a real serial port (COM1-32 /dev/ttyS0-31,
// COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31) unless an entry already gives its number.
QList<int> MachinePortNumbers();
