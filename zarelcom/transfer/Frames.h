// The request frames of the transfers: announcements, file and backup requests, the message load,
// each made from the link's command frame and filled in by payload offset.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "link/Frame.h"

// Payload byte 6 of every announcement: what the printer is about to receive.
enum class TransferKind : uint8_t { MessageRestore = 1, Logo = 2, NamedFile = 3, PrintImage = 4 };

constexpr size_t NameFieldSize = 24;
using NameField = std::array<uint8_t, NameFieldSize>;

// A caller's name cut to 24 bytes or padded with blanks to 24.
NameField MakeNameField(std::string_view name);
// The two names the printer keeps with zero bytes at their end.
extern const NameField MessageNameListField; // "MsgName.dat", 11 blanks, two zero bytes
extern const NameField ParameterFileField;   // "ZAREL.PAR", 14 blanks, one zero byte

using ShortAnnouncement = Request<9 + kFrameOverhead>; // 0x7C logo, "z" restore, "v" print
using FileAnnouncement = Request<31 + kFrameOverhead>; // "x"
using FileRequest = Request<26 + kFrameOverhead>;      // "w", 0x81
using BackupRequest = Request<4 + kFrameOverhead>;     // "{", "y"

constexpr uint8_t CmdLogoAnnounce = 0x7C, CmdRestoreMessage = 'z', CmdPrintImage = 'v';
constexpr uint8_t CmdFileAnnounce = 'x', CmdFileRequest = 'w', CmdScreenRequest = 0x81;
constexpr uint8_t CmdBackUpLogo = '{', CmdBackUpMessage = 'y', CmdMessageLoad = 'C';

ShortAnnouncement LogoAnnouncement(int32_t length, int32_t slot);
ShortAnnouncement RestoreAnnouncement(int32_t length, uint16_t message);
ShortAnnouncement PrintAnnouncement(int32_t length, uint8_t option);
FileAnnouncement MakeFileAnnouncement(int32_t length, const NameField &name);
// command: CmdFileRequest or CmdScreenRequest.
FileRequest MakeFileRequest(uint8_t command, const NameField &name);
// command: CmdBackUpLogo or CmdBackUpMessage; the number's low 16 bits go out.
BackupRequest MakeBackupRequest(uint8_t command, int32_t number);

// The "C" frame for a message given as hexadecimal text, two digits a byte, either case.
// Nullopt when the text has an odd length, a pair that is not hexadecimal, or more bytes than the
// 16-bit payload length can carry.
std::optional<std::vector<uint8_t>> MessageLoadFrame(uint8_t message, std::string_view hex);
