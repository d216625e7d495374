// Enumerations of the serial port object: line rate, character frame, options and line events.
#pragma once

#include <cstdint>
#include <initializer_list>

enum TBaudRate : uint8_t {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
constexpr int BaudRateCount = 15;

enum TParity : uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum TStopBits : uint8_t { sb10, sb15, sb20 };
enum TDataBits : uint8_t { da4, da5, da6, da7, da8 };
enum TFlowControl : uint8_t { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };

enum TCommOption : uint8_t {
    coParityCheck,
    coDsrSensitivity,
    coIgnoreXOff,
    coErrorChar,
    coNullStrip
};
// A set of TCommOption: bit n stands for value n.
using TCommOptions = uint8_t;

enum TCommEventType : uint8_t {
    evBreak,
    evCts,
    evDsr,
    evError,
    evRing,
    evRlsd,
    evRxChar,
    evRxFlag,
    evTxEmpty
};
// A set of TCommEventType: bit n stands for value n.
using TCommEventTypes = uint16_t;
constexpr TCommEventTypes AllCommEventTypes = 0x1FF;

// The set holding the given values, e.g. CommSet<TCommOptions>({coParityCheck, coNullStrip}).
template <typename Set, typename Value>
constexpr Set CommSet(std::initializer_list<Value> values) {
    Set set = 0;
    for (Value value : values) set = static_cast<Set>(set | (1u << value));
    return set;
}

// The line rate in bit/s of a TBaudRate ordinal; 0 for an ordinal outside the enumeration.
uint32_t BaudRateValue(TBaudRate rate);
