// The request templates of the printer's query, setting, clock, string and block commands, by
// command byte and payload length N. The transfer commands keep theirs beside the transfers.
#pragma once

#include "link/Frame.h"

namespace command {

inline constexpr auto GetMessageNo = CommandTemplate<'2', 2>();
inline constexpr auto SetMessageNo = CommandTemplate<'3', 3>();
inline constexpr auto GetSystemClock = CommandTemplate<'4', 2>();
inline constexpr auto SetZarelClock = CommandTemplate<'5', 9>();
inline constexpr auto GetTDFormat = CommandTemplate<'6', 2>();
inline constexpr uint8_t SetTDFormat = '7'; // N = 3 + count: framed per call
inline constexpr auto GetShift = CommandTemplate<'8', 2>();
inline constexpr auto SetZarelShift = CommandTemplate<'9', 17>();
inline constexpr auto GetCounter = CommandTemplate<':', 4>();
inline constexpr auto SetZarelCount = CommandTemplate<';', 20>();
inline constexpr auto GetString = CommandTemplate<'<', 3>();
inline constexpr uint8_t SendString = '='; // N = 4 + length: framed per call
inline constexpr auto GetRollHour = CommandTemplate<'>', 2>();
inline constexpr auto SetRollHour = CommandTemplate<'?', 4>();
inline constexpr auto GetCYear = CommandTemplate<'@', 2>();
inline constexpr auto SetCYear = CommandTemplate<'A', 4>();
inline constexpr auto GetSysInfo = CommandTemplate<'B', 2>();
inline constexpr auto GetInkStatus = CommandTemplate<'D', 2>();
inline constexpr auto GetPrintStatus = CommandTemplate<'E', 2>();
inline constexpr auto SetPrint = CommandTemplate<'F', 3>(); // parameter 0 off, 1 on
inline constexpr auto GetTaskNo = CommandTemplate<'G', 2>();
inline constexpr auto SetTaskNo = CommandTemplate<'H', 3>();
inline constexpr auto GetSysData = CommandTemplate<'I', 2>();
inline constexpr auto GetFreeLogoNo = CommandTemplate<'M', 2>();
inline constexpr auto GetFreeDiskSpc = CommandTemplate<'N', 2>();
inline constexpr auto ZarelReboot = CommandTemplate<'P', 2>();
inline constexpr auto SetZarelBaud = CommandTemplate<'R', 3>();
inline constexpr auto GetLang = CommandTemplate<'S', 2>();
inline constexpr auto SetLang = CommandTemplate<'T', 3>();
inline constexpr auto GetMeasure = CommandTemplate<'U', 2>();
inline constexpr auto SetMeasure = CommandTemplate<'V', 3>();
inline constexpr auto GetTaskCfg = CommandTemplate<'W', 2>();
inline constexpr auto SetTaskCfg = CommandTemplate<'X', 3>();
inline constexpr auto GetEncoder = CommandTemplate<'Y', 2>();
inline constexpr auto SetEncoder = CommandTemplate<'Z', 10>();
inline constexpr auto GetEncoderStatus = CommandTemplate<'[', 2>();
inline constexpr auto SetEncoderStatus = CommandTemplate<'\\', 6>();
inline constexpr auto GetConveyor = CommandTemplate<']', 2>();
inline constexpr auto SetConveyor = CommandTemplate<'^', 6>();
inline constexpr auto GetPHCfg = CommandTemplate<'_', 3>();
inline constexpr auto SetPHCfg = CommandTemplate<'`', 5>();
inline constexpr auto SetPHCfgH = CommandTemplate<'a', 7>();
inline constexpr auto SetPHDPI = CommandTemplate<'c', 4>();
inline constexpr auto GetMsgDelay = CommandTemplate<'d', 6>();
inline constexpr auto SetMsgDelay = CommandTemplate<'e', 10>();
inline constexpr auto GetMaxMsg = CommandTemplate<'f', 2>();
inline constexpr auto GetBackUpRestoreReg = CommandTemplate<'g', 2>();
inline constexpr auto StopTask = CommandTemplate<'i', 2>();
inline constexpr auto GetZarelType = CommandTemplate<'t', 2>();
inline constexpr auto GetBlock = CommandTemplate<'}', 4>();
inline constexpr auto SendBlock = CommandTemplate<'~', 516>();
// Sub-commands 0x10 to 0x14 of the print-registration command 0xF0.
inline constexpr auto PRCommand = CommandTemplate<0xF0, 3>();

// The switch to terminal mode: command 0x80 with its checksum already in place; no reply follows.
inline constexpr std::array<uint8_t, 7> ToTerminalMode = {kStx, 0x00, 0x02, kLeadByte,
                                                          0x80, 0xB2, kEtx};

} // namespace command
