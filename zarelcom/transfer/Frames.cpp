#include "transfer/Frames.h"

#include <algorithm>

namespace {

// Payload offsets: the length after the lead byte and the command, then the kind, then the
// announcement's own parameters.
constexpr size_t LengthAt = 2, KindAt = 6, ParametersAt = 7;
constexpr size_t NameAt = 2; // of a file request

ShortAnnouncement Announcement(uint8_t command, int32_t length, TransferKind kind) {
    ShortAnnouncement frame(CommandFrame<9>(command));
    frame.Le32(LengthAt, length).Byte(KindAt, static_cast<uint8_t>(kind));
    return frame;
}

NameField FixedField(std::string_view name, size_t blanks) {
    NameField field{}; // what is left after the name and the blanks stays zero
    std::copy(name.begin(), name.end(), field.begin());
    std::fill_n(field.begin() + name.size(), blanks, ' ');
    return field;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

const NameField MessageNameListField = FixedField("MsgName.dat", 11);
const NameField ParameterFileField = FixedField("ZAREL.PAR", 14);

NameField MakeNameField(std::string_view name) {
    NameField field;
    field.fill(' ');
    std::copy_n(name.data(), std::min(name.size(), NameFieldSize), field.begin());
    return field;
}

ShortAnnouncement LogoAnnouncement(int32_t length, int32_t slot) {
    ShortAnnouncement frame = Announcement(CmdLogoAnnounce, length, TransferKind::Logo);
    frame.Le16(ParametersAt, slot);
    return frame;
}

ShortAnnouncement RestoreAnnouncement(int32_t length, uint16_t message) {
    ShortAnnouncement frame = Announcement(CmdRestoreMessage, length, TransferKind::MessageRestore);
    frame.Le16(ParametersAt, message);
    return frame;
}

ShortAnnouncement PrintAnnouncement(int32_t length, uint8_t option) {
    ShortAnnouncement frame = Announcement(CmdPrintImage, length, TransferKind::PrintImage);
    frame.Byte(ParametersAt, option);
    return frame;
}

FileAnnouncement MakeFileAnnouncement(int32_t length, const NameField &name) {
    FileAnnouncement frame(CommandFrame<31>(CmdFileAnnounce));
    frame.Le32(LengthAt, length).Byte(KindAt, static_cast<uint8_t>(TransferKind::NamedFile));
    frame.Copy(ParametersAt, name.data(), name.size());
    return frame;
}

FileRequest MakeFileRequest(uint8_t command, const NameField &name) {
    FileRequest frame(CommandFrame<26>(command));
    frame.Copy(NameAt, name.data(), name.size());
    return frame;
}

BackupRequest MakeBackupRequest(uint8_t command, int32_t number) {
    BackupRequest frame(CommandFrame<4>(command));
    frame.Le16(2, number);
    return frame;
}

std::optional<std::vector<uint8_t>> MessageLoadFrame(uint8_t message, std::string_view hex) {
    // The payload holds the lead byte, the command and the message number before the data.
    constexpr size_t MaxDataBytes = 0xFFFF - 3;
    if (hex.size() % 2 != 0 || hex.size() / 2 > MaxDataBytes) return std::nullopt;
    std::vector<uint8_t> data(hex.size() / 2);
    for (size_t i = 0; i < data.size(); ++i) {
        const int high = HexDigit(hex[2 * i]), low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        data[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return VariableRequest(CmdMessageLoad, {message}, data.data(), data.size());
}
