// Fetching named files from the printer's store: a file request names the file and learns its
// length, then the blocks follow.
#include <zarelcom/zarelcom.h>

#include "link/CountedText.h"
#include "link/Library.h"
#include "transfer/BlockFetch.h"
#include "transfer/Frames.h"

namespace {

bool FetchNamedFile(zc_text localPath, uint8_t command, const NameField &name)
{
    const TextArgument path(localPath);
    FileRequest request = MakeFileRequest(command, name);
    return GuardExport<zc_bool>(false, [&] {
        return FetchRequested(path.View(), request.data(), command, WrongReplyCode::SetsError200);
    });
}

} // namespace

extern "C" ZARELCOM_API zc_bool StxUpLoadFile(zc_text path, zc_text name)
{
    return FetchNamedFile(path, CmdFileRequest, MakeNameField(TextArgument(name).View()));
}

extern "C" ZARELCOM_API zc_bool StxGetScr(zc_text path, zc_text name)
{
    return FetchNamedFile(path, CmdScreenRequest, MakeNameField(TextArgument(name).View()));
}

extern "C" ZARELCOM_API zc_bool StxUpLoadMsgName(zc_text path)
{
    return FetchNamedFile(path, CmdFileRequest, MessageNameListField);
}

extern "C" ZARELCOM_API zc_bool StxUpLoadParameter(zc_text path)
{
    return FetchNamedFile(path, CmdFileRequest, ParameterFileField);
}
