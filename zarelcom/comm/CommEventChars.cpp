#include "comm/CommEventChars.h"

#include "comm/Comm.h"

TCommEventChars::TCommEventChars(TThreadComm* port) : port_(port) {}

void TCommEventChars::Assign(const TCommEventChars& source) {
    for (int i = 0; i < 5; ++i) chars_[i] = source.chars_[i];
}

void TCommEventChars::SetEventChar(int index, uint8_t value) {
    if (index < 1 || index > 5) return;
    chars_[index - 1] = value;
    if (port_) port_->UpdateDataControlBlock();
}
