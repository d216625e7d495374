#include "comm/CommTypes.h"

uint32_t BaudRateValue(TBaudRate rate) {
    static const uint32_t rates[BaudRateCount] = {110,   300,   600,    1200,   2400,
                                                  4800,  9600,  14400,  19200,  38400,
                                                  56000, 57600, 115200, 128000, 256000};
    return rate < BaudRateCount ? rates[rate] : 0;
}
