// The printer's settings and actions: one exchange each, true on a good reply.
#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/Library.h"
#include "link/Printer.h"

namespace {

enum PRSubCommand : uint8_t {
    kPRIncrement = 0x11,
    kPRClear = 0x12,
    kPRSet = 0x13,
    kPRAdjust = 0x14
};

zc_bool GuardedByte(const std::array<uint8_t, 8> &commandTemplate, int32_t value) {
    return GuardExport<zc_bool>(false,
                                [&](Link &link) { return SendByte(link, commandTemplate, value); });
}

} // namespace

bool RebootPrinter(Link &link) { return Exchange(link, command::ZarelReboot); }

extern "C" {

ZARELCOM_API zc_bool ZARELCOM_CALL ZarelReboot(void) {
    return GuardExport<zc_bool>(false, RebootPrinter);
}
ZARELCOM_API zc_bool ZARELCOM_CALL StopTask(void) {
    return GuardExport<zc_bool>(false,
                                [](Link &link) { return Exchange(link, command::StopTask); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelBaud(int32_t baudNumber) {
    return GuardedByte(command::SetZarelBaud, baudNumber);
}
ZARELCOM_API zc_bool ZARELCOM_CALL SetLang(int32_t language) {
    return GuardedByte(command::SetLang, language);
}
ZARELCOM_API zc_bool ZARELCOM_CALL SetMeasure(int32_t measure) {
    return GuardedByte(command::SetMeasure, measure);
}
ZARELCOM_API zc_bool ZARELCOM_CALL SetMessageNo(int32_t message) {
    return GuardedByte(command::SetMessageNo, message);
}
ZARELCOM_API zc_bool ZARELCOM_CALL SetTaskCfg(int32_t config) {
    return GuardedByte(command::SetTaskCfg, config);
}
ZARELCOM_API zc_bool ZARELCOM_CALL SetTaskNo(int32_t task) {
    return GuardedByte(command::SetTaskNo, task);
}
ZARELCOM_API zc_bool ZARELCOM_CALL SetPrintOff(void) { return GuardedByte(command::SetPrint, 0); }
ZARELCOM_API zc_bool ZARELCOM_CALL SetPrintOn(void) { return GuardedByte(command::SetPrint, 1); }
ZARELCOM_API zc_bool ZARELCOM_CALL ClearPRCmd(void) {
    return GuardedByte(command::PRCommand, kPRClear);
}
ZARELCOM_API zc_bool ZARELCOM_CALL SetPRCmd(void) {
    return GuardedByte(command::PRCommand, kPRSet);
}
ZARELCOM_API zc_bool ZARELCOM_CALL AdjPRCmd(void) {
    return GuardedByte(command::PRCommand, kPRAdjust);
}
// False for every failed exchange, also when the printer did not answer at all.
ZARELCOM_API zc_bool ZARELCOM_CALL IncPRCmd(void) {
    return GuardedByte(command::PRCommand, kPRIncrement);
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetConveyor(const int32_t *value) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return value && SendLe32(link, command::SetConveyor, value); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetEncoder(const int32_t record[2]) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return record && SendLe32(link, command::SetEncoder, record); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetEncoderStatus(const uint8_t *status) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        Request request(command::SetEncoderStatus);
        return status && Exchange(link, request.Byte(2, *status));
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetMsgDelay(const int32_t record[2]) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return record && SendLe32(link, command::SetMsgDelay, record); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetPHCfg(const uint8_t cfg[3]) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return cfg && SendBytes(link, command::SetPHCfg, cfg); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetPHCfgH(const uint8_t cfg[5]) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return cfg && SendBytes(link, command::SetPHCfgH, cfg); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetPHDPI(int32_t dpi, int32_t head) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        Request request(command::SetPHDPI);
        return Exchange(link, request.Byte(2, head).Byte(3, dpi));
    });
}

} // extern "C"
