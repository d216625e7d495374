#include "transfer/Frames.h"

#include <algorithm>

namespace {

constexpr uint8_t STX = 0x02, ETX = 0x03, Lead = '0';

// Templates: STX, length (big-endian), "0", command, zeroed parameters, checksum place, ETX.
constexpr ShortAnnouncement ShortAnnouncementTemplate = {STX, 0x00, 0x09, Lead, 0, 0, 0, 0, 0, 0, 0, 0, 0, ETX};
constexpr BackupRequest BackupRequestTemplate = {STX, 0x00, 0x04, Lead, 0, 0, 0, 0, ETX};

constexpr FileAnnouncement FileAnnouncementTemplate = [] {
    FileAnnouncement frame{};
    frame[0] = STX; frame[1] = 0x00; frame[2] = 0x1F; frame[3] = Lead; frame[4] = CmdFileAnnounce;
    frame[35] = ETX;
    return frame;
}();

constexpr FileRequest FileRequestTemplate = [] {
    FileRequest frame{};
    frame[0] = STX; frame[1] = 0x00; frame[2] = 0x1A; frame[3] = Lead;
    frame[30] = ETX;
    return frame;
}();

void PutLE32(uint8_t *at, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

void PutLE16(uint8_t *at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

ShortAnnouncement Announcement(uint8_t command, int32_t length, TransferKind kind)
{
    ShortAnnouncement frame = ShortAnnouncementTemplate;
    frame[4] = command;
    PutLE32(&frame[5], length);
    frame[9] = static_cast<uint8_t>(kind);
    return frame;
}

NameField FixedField(std::string_view name, size_t blanks)
{
    NameField field{}; // what is left after the name and the blanks stays zero
    std::copy(name.begin(), name.end(), field.begin());
    std::fill_n(field.begin() + name.size(), blanks, ' ');
    return field;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

const NameField MessageNameListField = FixedField("MsgName.dat", 11);
const NameField ParameterFileField = FixedField("ZAREL.PAR", 14);

NameField MakeNameField(std::string_view name)
{
    NameField field;
    field.fill(' ');
    std::copy_n(name.data(), std::min(name.size(), NameFieldSize), field.begin());
    return field;
}

ShortAnnouncement LogoAnnouncement(int32_t length, int32_t slot)
{
    ShortAnnouncement frame = Announcement(CmdLogoAnnounce, length, TransferKind::Logo);
    PutLE16(&frame[10], static_cast<uint32_t>(slot));
    return frame;
}

ShortAnnouncement RestoreAnnouncement(int32_t length, uint16_t message)
{
    ShortAnnouncement frame = Announcement(CmdRestoreMessage, length, TransferKind::MessageRestore);
    PutLE16(&frame[10], message);
    return frame;
}

ShortAnnouncement PrintAnnouncement(int32_t length, uint8_t option)
{
    ShortAnnouncement frame = Announcement(CmdPrintImage, length, TransferKind::PrintImage);
    frame[10] = option;
    return frame;
}

FileAnnouncement MakeFileAnnouncement(int32_t length, const NameField &name)
{
    FileAnnouncement frame = FileAnnouncementTemplate;
    PutLE32(&frame[5], length);
    frame[9] = static_cast<uint8_t>(TransferKind::NamedFile);
    std::copy(name.begin(), name.end(), frame.begin() + 10);
    return frame;
}

FileRequest MakeFileRequest(uint8_t command, const NameField &name)
{
    FileRequest frame = FileRequestTemplate;
    frame[4] = command;
    std::copy(name.begin(), name.end(), frame.begin() + 5);
    return frame;
}

BackupRequest MakeBackupRequest(uint8_t command, int32_t number)
{
    BackupRequest frame = BackupRequestTemplate;
    frame[4] = command;
    PutLE16(&frame[5], static_cast<uint32_t>(number));
    return frame;
}

std::optional<std::vector<uint8_t>> MessageLoadFrame(uint8_t message, std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    const size_t dataBytes = hex.size() / 2;
    const size_t payload = dataBytes + 3;
    if (payload > 0xFFFF)
        return std::nullopt;
    std::vector<uint8_t> frame(dataBytes + 8);
    frame[0] = STX;
    frame[1] = static_cast<uint8_t>(payload >> 8);
    frame[2] = static_cast<uint8_t>(payload);
    frame[3] = Lead;
    frame[4] = CmdMessageLoad;
    frame[5] = message;
    for (size_t i = 0; i < dataBytes; ++i) {
        const int high = HexDigit(hex[2 * i]), low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        frame[6 + i] = static_cast<uint8_t>(high * 16 + low);
    }
    frame[frame.size() - 1] = ETX;
    return frame;
}
