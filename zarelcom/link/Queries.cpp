// The printer's queries: one exchange each (GetEncoder two), the answer copied from the reply
// data. Outputs are written only after a good reply.
#include <algorithm>
#include <cstring>

#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/CountedText.h"
#include "link/Library.h"

namespace {

constexpr std::size_t kLanguageNameSize = 8;
constexpr std::size_t kSysDataSize = 64;
constexpr uint8_t kPRQuery = 0x10;
constexpr std::size_t kPRTextStart = kReplyDataOffset + 1;

} // namespace

extern "C" {

ZARELCOM_API int32_t GetZarelType(void) {
    return GuardExport<int32_t>(-1, [] { return ExchangeFor(command::GetZarelType, 5) ? ReplyByte(4) : -1; });
}

ZARELCOM_API zc_bool GetSysInfo(SystemInfo *info) {
    return GuardExport<zc_bool>(false, [&] {
        if (!info || !ExchangeFor(command::GetSysInfo, 20)) return false;
        *info = {ReplyLe32(0), ReplyLe32(4), ReplyLe32(8), ReplyLe32(12), ReplyLe32(16)};
        return true;
    });
}

ZARELCOM_API int32_t GetPrintStatus(void) {
    return GuardExport<int32_t>(-1, [] {
        const int32_t status = QueryByte(command::GetPrintStatus, -1);
        return status <= 0 ? status : 1;
    });
}

ZARELCOM_API int32_t GetFreeLogoNo(void) {
    return GuardExport<int32_t>(-1, [] { return QueryByte(command::GetFreeLogoNo, -1); });
}

ZARELCOM_API int32_t GetFreeDiskSpc(void) {
    return GuardExport<int32_t>(0, [] { return ExchangeFor(command::GetFreeDiskSpc, 4) ? ReplyLe32(0) : 0; });
}

ZARELCOM_API int32_t GetMaxMsg(void) {
    return GuardExport<int32_t>(0, [] { return ExchangeFor(command::GetMaxMsg, 2) ? int32_t{ReplySigned16(0)} : 0; });
}

ZARELCOM_API int32_t GetMeasure(void) {
    return GuardExport<int32_t>(-1, [] { return QueryByte(command::GetMeasure, -1); });
}

ZARELCOM_API int32_t GetMessageNo(void) {
    return GuardExport<int32_t>(-1, [] { return QueryByte(command::GetMessageNo, -1); });
}

ZARELCOM_API int32_t GetInkStaus(void) {
    return GuardExport<int32_t>(255, [] { return QueryByte(command::GetInkStatus, 255); });
}

ZARELCOM_API int32_t GetBackUpRestoreReg(void) {
    return GuardExport<int32_t>(2, [] { return QueryByte(command::GetBackUpRestoreReg, 2); });
}

ZARELCOM_API zc_bool GetConveyor(int32_t *value) {
    return GuardExport<zc_bool>(false, [&] {
        if (!value || !ExchangeFor(command::GetConveyor, 4)) return false;
        *value = ReplyLe32(0);
        return true;
    });
}

ZARELCOM_API zc_bool GetEncoder(int32_t record[2], int32_t *status) {
    return GuardExport<zc_bool>(false, [&] {
        if (!record || !status || !ExchangeFor(command::GetEncoder, 8)) return false;
        record[0] = ReplyLe32(0);
        record[1] = ReplyLe32(4);
        if (!ExchangeFor(command::GetEncoderStatus, 1)) return false;
        *status = ReplyByte(0);
        return true;
    });
}

ZARELCOM_API zc_bool GetMsgDelay(int32_t record[2]) {
    return GuardExport<zc_bool>(false, [&] {
        if (!record) return false;
        Request request(command::GetMsgDelay);
        if (!ExchangeFor(request.Le32(2, record[0]), 8)) return false;
        record[0] = ReplyLe32(0);
        record[1] = ReplyLe32(4);
        return true;
    });
}

ZARELCOM_API zc_bool GetLang(int32_t *count, int32_t *current, zc_text *names) {
    return GuardExport<zc_bool>(false, [&] {
        if (!count || !current || !names || !ExchangeFor(command::GetLang, 2)) return false;
        // Only whole names that the reply really carries are handed out.
        const std::size_t announced = ReplyByte(0);
        const std::size_t held = ReplyBytesHeld(2, announced * kLanguageNameSize) / kLanguageNameSize;
        *names = NewText({reinterpret_cast<const char *>(&RcvBuffer[kReplyDataOffset + 2]), held * kLanguageNameSize});
        *count = static_cast<int32_t>(held);
        *current = ReplyByte(1);
        return true;
    });
}

ZARELCOM_API zc_bool GetSysData(uint8_t data[64]) {
    return GuardExport<zc_bool>(false, [&] {
        if (!data || !ExchangeFor(command::GetSysData, kSysDataSize)) return false;
        std::memcpy(data, &RcvBuffer[kReplyDataOffset], kSysDataSize);
        return true;
    });
}

ZARELCOM_API zc_bool GetPHCfg(int32_t head) {
    return GuardExport<zc_bool>(false, [&] { return SendByte(command::GetPHCfg, head); });
}

ZARELCOM_API zc_bool GetTaskCfg(void) {
    return GuardExport<zc_bool>(false, [] { return Exchange(command::GetTaskCfg); });
}

ZARELCOM_API zc_bool GetTaskNo(void) {
    return GuardExport<zc_bool>(false, [] { return Exchange(command::GetTaskNo); });
}

ZARELCOM_API const char *GetPRCmd(void) {
    return GuardExport<const char *>(nullptr, []() -> const char * {
        if (!SendByte(command::PRCommand, kPRQuery)) return nullptr;
        // The text ends where the payload does, at the latest (over the reply's checksum).
        RcvBuffer[std::max<std::size_t>(static_cast<std::size_t>(CurrentLength), kPRTextStart)] = 0;
        return reinterpret_cast<const char *>(&RcvBuffer[kPRTextStart]);
    });
}

} // extern "C"
