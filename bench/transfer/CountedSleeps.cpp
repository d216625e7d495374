#include "CountedSleeps.h"

// The product's device, with every byte read or written counted.
class CountedSleeps::CountingDevice : public Device {
public:
    CountingDevice(std::unique_ptr<Device> device, uint64_t &bytes)
        : device_(std::move(device)), bytes_(bytes) {}
    bool IsSerialDevice() override { return device_->IsSerialDevice(); }
    int SetupQueues(uint32_t in, uint32_t out) override { return device_->SetupQueues(in, out); }
    int GetLineSettings(LineSettings &settings) override {
        return device_->GetLineSettings(settings);
    }
    int SetLineSettings(const LineSettings &settings) override {
        return device_->SetLineSettings(settings);
    }
    int SetTimeouts(const CommTimeouts &timeouts) override {
        return device_->SetTimeouts(timeouts);
    }
    int Read(void *buffer, uint32_t count, uint32_t &transferred) override {
        const int result = device_->Read(buffer, count, transferred);
        bytes_ += transferred;
        return result;
    }
    int Write(const void *buffer, uint32_t count, uint32_t &transferred) override {
        const int result = device_->Write(buffer, count, transferred);
        bytes_ += transferred;
        return result;
    }
    int ClearError(uint32_t &errors, CommStatus &status) override {
        return device_->ClearError(errors, status);
    }
    int Purge(uint32_t flags) override { return device_->Purge(flags); }
    int Escape(uint32_t code) override { return device_->Escape(code); }
    int GetModemStatus(uint32_t &lines) override { return device_->GetModemStatus(lines); }
    int SetEventMask(uint32_t mask) override { return device_->SetEventMask(mask); }
    int WaitEvent(uint32_t &events) override { return device_->WaitEvent(events); }
    void CancelWait() override { device_->CancelWait(); }
    int WaitInput(uint32_t count, uint32_t ms, uint32_t &queued) override {
        return device_->WaitInput(count, ms, queued);
    }
    int WaitOutputEmpty(uint32_t ms, uint32_t &unsent) override {
        return device_->WaitOutputEmpty(ms, unsent);
    }

private:
    std::unique_ptr<Device> device_;
    uint64_t &bytes_;
};

std::unique_ptr<Device> CountedSleeps::OpenDevice(const std::string &name, OpenAttempt &attempt) {
    std::unique_ptr<Device> device = SystemPlatform().OpenDevice(name, attempt);
    if (!device) return nullptr;
    return std::make_unique<CountingDevice>(std::move(device), lineBytes_);
}
