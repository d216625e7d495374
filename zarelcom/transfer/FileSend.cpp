// Named files into the printer's store, among them its parameter file and program update package.
#include <zarelcom/zarelcom.h>

#include <string>

#include "link/CountedText.h"
#include "link/Library.h"
#include "link/Printer.h"
#include "transfer/BlockSend.h"
#include "transfer/FileNames.h"
#include "transfer/Frames.h"

namespace {

enum NameKind : int32_t {
    FileNameOfPath = 1,
    UpdatePackage = 2,
    ParameterFile = 3,
    BitmapFolder = 4
};

std::string PrinterSideName(std::string_view path, std::string_view name, int32_t kind) {
    switch (kind) {
    case FileNameOfPath:
        return std::string(FileNamePart(path));
    case UpdatePackage:
        return "HP.ZIP";
    case ParameterFile:
        return "ZAREL.DAT";
    case BitmapFolder:
        return "bmp\\" + std::string(FileNamePart(path));
    default:
        // Only what fits the name field is read: the text's length field may claim more.
        return std::string(name.substr(0, NameFieldSize));
    }
}

bool SendFile(Link &link, std::string_view path, std::string_view name, int32_t kind) {
    const NameField field = MakeNameField(PrinterSideName(path, name, kind));
    return AnnounceAndSend(link, path,
                           [&](int32_t size) { return MakeFileAnnouncement(size, field); });
}

zc_bool SendFileExport(zc_text pathText, zc_text nameText, int32_t kind) {
    const TextArgument path(pathText), name(nameText);
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return SendFile(link, path.View(), name.View(), kind); });
}

// A successful parameter or program download ends with the printer's restart; its outcome does
// not change the result, the file is in the printer either way.
zc_bool SendThenReboot(zc_text pathText, int32_t kind) {
    const TextArgument path(pathText);
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!SendFile(link, path.View(), {}, kind)) return false;
        RebootPrinter(link);
        return true;
    });
}

} // namespace

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxSendFile(zc_text path, zc_text name,
                                                          int32_t nameKind) {
    return SendFileExport(path, name, nameKind);
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxDownLoadFile(zc_text path, zc_text name) {
    return SendFileExport(path, name, 0);
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL XmodemFileSend(zc_text path) {
    return SendFileExport(path, nullptr, BitmapFolder);
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxDownLoadParameter(zc_text path) {
    return SendThenReboot(path, ParameterFile);
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL DownLoadParameter(zc_text path) {
    return SendThenReboot(path, ParameterFile);
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxUpdateZarel(zc_text path) {
    return SendThenReboot(path, UpdatePackage);
}
