// Fetching named files from the printer's store: a file request names the file and learns its
// length, then the blocks follow.
#include <zarelcom/zarelcom.h>

#include "link/CountedText.h"
#include "link/Library.h"
#include "transfer/BlockFetch.h"
#include "transfer/Frames.h"

namespace {

// nameField gives the request's name field.
template <class NameOf>
bool FetchNamedFile(zc_text localPath, uint8_t command, NameOf nameField) {
    const TextArgument path(localPath);
    return GuardExport<zc_bool>(false, [&](Link &link) {
        FileRequest request = MakeFileRequest(command, nameField());
        return FetchRequested(link, path.View(), request.Frame(), command,
                              WrongReplyCode::SetsError200);
    });
}

NameField NameArgument(zc_text name) { return MakeNameField(TextArgument(name).View()); }

} // namespace

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxUpLoadFile(zc_text path, zc_text name) {
    return FetchNamedFile(path, CmdFileRequest, [name] { return NameArgument(name); });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxGetScr(zc_text path, zc_text name) {
    return FetchNamedFile(path, CmdScreenRequest, [name] { return NameArgument(name); });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxUpLoadMsgName(zc_text path) {
    return FetchNamedFile(path, CmdFileRequest, [] { return MessageNameListField; });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxUpLoadParameter(zc_text path) {
    return FetchNamedFile(path, CmdFileRequest, [] { return ParameterFileField; });
}
