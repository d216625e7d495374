// The five special characters of the line, owned by a port.
#pragma once

#include <cstdint>

class TThreadComm;

class TCommEventChars {
public:
    // port may be null; with a port, every change re-applies that port's line settings
    // (without taking its lock).
    explicit TCommEventChars(TThreadComm* port);
    TCommEventChars(const TCommEventChars&) = delete;
    TCommEventChars& operator=(const TCommEventChars&) = delete;

    // Copies the five characters and nothing else (no re-application of line settings).
    void Assign(const TCommEventChars& source);

    uint8_t XOnChar() const { return chars_[0]; }
    uint8_t XOffChar() const { return chars_[1]; }
    uint8_t ErrorChar() const { return chars_[2]; }
    uint8_t EofChar() const { return chars_[3]; }
    uint8_t EvtChar() const { return chars_[4]; }
    void SetXOnChar(uint8_t value) { SetEventChar(1, value); }
    void SetXOffChar(uint8_t value) { SetEventChar(2, value); }
    void SetErrorChar(uint8_t value) { SetEventChar(3, value); }
    void SetEofChar(uint8_t value) { SetEventChar(4, value); }
    void SetEvtChar(uint8_t value) { SetEventChar(5, value); }

    // The shared setter: index 1 XOn, 2 XOff, 3 Error, 4 Eof, 5 Evt; other indexes are ignored.
    // Raises the port's ECommError when the port refuses the new line settings.
    void SetEventChar(int index, uint8_t value);

private:
    TThreadComm* port_;
    uint8_t chars_[5] = {17, 19, 0, 0, 0};
};
