// The files the printer makes up from its state when the host asks for them: its parameter file
// "ZAREL.PAR", its message-name list "MsgName.dat" and the image of its screen (request 0x81).
#pragma once

#include <zarelsim/PrinterState.h>

#include <cstdint>
#include <string>

namespace zarelsim {

constexpr char kParameterUpload[] = "ZAREL.PAR";
constexpr char kParameterDownload[] = "ZAREL.DAT";
constexpr char kMessageNames[] = "MsgName.dat";
constexpr char kUpdatePackage[] = "HP.ZIP";

// A 24-byte name field: up to the first zero byte, trailing blanks dropped.
std::string NameFromField(const uint8_t* field);

// The parameter file: the last "ZAREL.DAT" the host sent, or the printer's settings as text.
Bytes ParameterFile(const PrinterState& state);
// One line per stored message: "003 MSG003" and CR LF (empty without messages).
Bytes MessageNameList(const PrinterState& state);
// A 128 x 32 one-bit bitmap of the printer's display: a frame and one bar per stored logo.
Bytes ScreenImage(const PrinterState& state);

} // namespace zarelsim
