// The printer's queries: one exchange each (GetEncoder two), the answer copied from the reply
// data. Outputs are written only after a good reply.
#include <algorithm>
#include <cstring>

#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/CountedText.h"
#include "link/Library.h"
#include "link/Printer.h"

namespace {

constexpr std::size_t kLanguageNameSize = 8;
constexpr std::size_t kSysDataSize = 64;
constexpr uint8_t kPRQuery = 0x10;
constexpr std::size_t kPRTextStart = kReplyDataOffset + 1;

} // namespace

bool GetSystemInfo(Link &link, SystemInfo &info) {
    if (!ExchangeFor(link, command::GetSysInfo, 20)) return false;
    info = {ReplyLe32(link, 0), ReplyLe32(link, 4), ReplyLe32(link, 8), ReplyLe32(link, 12),
            ReplyLe32(link, 16)};
    return true;
}

int32_t PrintStatus(Link &link) {
    const int32_t status = QueryByte(link, command::GetPrintStatus, -1);
    return status <= 0 ? status : 1;
}

extern "C" {

ZARELCOM_API int32_t ZARELCOM_CALL GetZarelType(void) {
    return GuardExport<int32_t>(-1, [](Link &link) {
        return ExchangeFor(link, command::GetZarelType, 5) ? ReplyByte(link, 4) : -1;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetSysInfo(SystemInfo *info) {
    return GuardExport<zc_bool>(false,
                                [&](Link &link) { return info && GetSystemInfo(link, *info); });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetPrintStatus(void) {
    return GuardExport<int32_t>(-1, PrintStatus);
}

ZARELCOM_API int32_t ZARELCOM_CALL GetFreeLogoNo(void) {
    return GuardExport<int32_t>(
        -1, [](Link &link) { return QueryByte(link, command::GetFreeLogoNo, -1); });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetFreeDiskSpc(void) {
    return GuardExport<int32_t>(0, [](Link &link) {
        return ExchangeFor(link, command::GetFreeDiskSpc, 4) ? ReplyLe32(link, 0) : 0;
    });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetMaxMsg(void) {
    return GuardExport<int32_t>(0, [](Link &link) {
        return ExchangeFor(link, command::GetMaxMsg, 2) ? int32_t{ReplySigned16(link, 0)} : 0;
    });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetMeasure(void) {
    return GuardExport<int32_t>(
        -1, [](Link &link) { return QueryByte(link, command::GetMeasure, -1); });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetMessageNo(void) {
    return GuardExport<int32_t>(
        -1, [](Link &link) { return QueryByte(link, command::GetMessageNo, -1); });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetInkStaus(void) {
    return GuardExport<int32_t>(
        255, [](Link &link) { return QueryByte(link, command::GetInkStatus, 255); });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetBackUpRestoreReg(void) {
    return GuardExport<int32_t>(
        2, [](Link &link) { return QueryByte(link, command::GetBackUpRestoreReg, 2); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetConveyor(int32_t *value) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!value || !ExchangeFor(link, command::GetConveyor, 4)) return false;
        *value = ReplyLe32(link, 0);
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetEncoder(int32_t record[2], int32_t *status) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!record || !status || !ExchangeFor(link, command::GetEncoder, 8)) return false;
        record[0] = ReplyLe32(link, 0);
        record[1] = ReplyLe32(link, 4);
        if (!ExchangeFor(link, command::GetEncoderStatus, 1)) return false;
        *status = ReplyByte(link, 0);
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetMsgDelay(int32_t record[2]) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!record) return false;
        Request request(command::GetMsgDelay);
        if (!ExchangeFor(link, request.Le32(2, record[0]), 8)) return false;
        record[0] = ReplyLe32(link, 0);
        record[1] = ReplyLe32(link, 4);
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetLang(int32_t *count, int32_t *current, zc_text *names) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!count || !current || !names || !ExchangeFor(link, command::GetLang, 2)) return false;
        // Only whole names that the reply really carries are handed out.
        const std::size_t announced = ReplyByte(link, 0);
        const std::size_t held =
            ReplyBytesHeld(link, 2, announced * kLanguageNameSize) / kLanguageNameSize;
        *names = NewText({reinterpret_cast<const char *>(&link.rcvBuffer[kReplyDataOffset + 2]),
                          held * kLanguageNameSize});
        *count = static_cast<int32_t>(held);
        *current = ReplyByte(link, 1);
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetSysData(uint8_t data[64]) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!data || !ExchangeFor(link, command::GetSysData, kSysDataSize)) return false;
        std::memcpy(data, &link.rcvBuffer[kReplyDataOffset], kSysDataSize);
        return true;
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetPHCfg(int32_t head) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return SendByte(link, command::GetPHCfg, head); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetTaskCfg(void) {
    return GuardExport<zc_bool>(false,
                                [](Link &link) { return Exchange(link, command::GetTaskCfg); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL GetTaskNo(void) {
    return GuardExport<zc_bool>(false,
                                [](Link &link) { return Exchange(link, command::GetTaskNo); });
}

ZARELCOM_API const char *ZARELCOM_CALL GetPRCmd(void) {
    return GuardExport<const char *>(nullptr, [](Link &link) -> const char * {
        if (!SendByte(link, command::PRCommand, kPRQuery)) return nullptr;
        // The text ends where the payload does, at the latest (over the reply's checksum).
        link.rcvBuffer[std::max<std::size_t>(static_cast<std::size_t>(link.currentLength),
                                             kPRTextStart)] = 0;
        return reinterpret_cast<const char *>(&link.rcvBuffer[kPRTextStart]);
    });
}

} // extern "C"
