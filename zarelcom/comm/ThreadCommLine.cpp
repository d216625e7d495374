// Line control, modem and hold states, and the dispatch of line events.
#include "comm/Comm.h"

namespace {
using Guard = std::lock_guard<std::recursive_mutex>;
}

void TThreadComm::EscapeComm(int32_t code) {
    if (!enabled_) throw ECommError(CommMessage::NotOpen, -1);
    int result = 0;
    {
        Guard guard(lock_);
        const std::shared_ptr<Device> device = CurrentDevice();
        if (!device) throw ECommError(CommMessage::NotOpen, -1);
        result = device->Escape(static_cast<uint32_t>(code));
    }
    if (result != 0) throw ECommError(CommMessage::Escape, result);
}

void TThreadComm::SetDTRState(bool on) { EscapeComm(on ? escSetDtr : escClrDtr); }

void TThreadComm::SetRTSState(bool on) { EscapeComm(on ? escSetRts : escClrRts); }

void TThreadComm::SetBREAKState(bool on) {
    EscapeComm(on ? escSetBreak : escClrBreak);
    if (!enabled_) return;
    Guard guard(lock_);
    if (const std::shared_ptr<Device> device = CurrentDevice())
        device->Purge(purgeTxAbort | purgeRxAbort | purgeTxClear | purgeRxClear);
}

void TThreadComm::SetXONState(bool on) { EscapeComm(on ? escSetXon : escSetXoff); }

bool TThreadComm::GetModemState(int32_t selector) {
    static const uint32_t lines[] = {msCtsOn, msDsrOn, msRingOn, msRlsdOn};
    if (selector < 1 || selector > 4) return false;
    const std::shared_ptr<Device> device = CurrentDevice();
    if (!enabled_ || !device) return false;
    uint32_t status = 0;
    return device->GetModemStatus(status) == 0 && (status & lines[selector - 1]) != 0;
}

bool TThreadComm::GetComState(int32_t selector) {
    const std::optional<CommStatus> status = ClearedStatus();
    if (!status) return false;
    switch (selector) {
    case 2:
        return status->DsrHold;
    case 3:
        return status->RlsdHold;
    case 4:
        return status->XoffHold;
    case 5:
        return status->XoffSent;
    default:
        return status->CtsHold;
    }
}

void TThreadComm::HandleCommEvent(TCommEventThread*, uint32_t eventWord) {
    uint32_t errors = 0;
    CommStatus status;
    if (const std::shared_ptr<Device> device = CurrentDevice()) device->ClearError(errors, status);
    const auto notify = [&](uint32_t bit, const TCommNotifyEvent& handler) {
        if ((eventWord & bit) && handler) handler(*this);
    };
    notify(evbBreak, OnBreak);
    notify(evbCts, OnCts);
    notify(evbDsr, OnDsr);
    if ((eventWord & evbErr) && OnError) OnError(*this, static_cast<int32_t>(errors));
    notify(evbRing, OnRing);
    notify(evbRlsd, OnRlsd);
    if ((eventWord & evbRxChar) && status.InQue > 0 && OnRxChar) OnRxChar(*this, status.InQue);
    notify(evbRxFlag, OnRxFlag);
    notify(evbTxEmpty, OnTxEmpty);
    if (OnComStatEvent) OnComStatEvent(*this, eventWord, status);
}
