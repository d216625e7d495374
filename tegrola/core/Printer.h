// The library's exports Tegrola uses, behind one interface so that the logic can be tested with a
// printer of the test's own; LibraryPrinter calls the library.
#pragma once

#include <zarelcom/zarelcom.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Printer {
public:
    virtual ~Printer() = default;
    virtual std::vector<zc_port_info> Ports() = 0;
    virtual bool OpenPort(int32_t number) = 0;
    virtual bool SetPortRate(int32_t rateOrdinal) = 0;
    virtual bool ClosePort() = 0;
    // The reason the last open failed; kind ZC_PORT_OK when it did not.
    virtual zc_port_failure_info PortFailure() = 0;
    // The message of a port error raised by the last call that could raise one, "" when none.
    virtual std::string RaisedPortError() = 0;
    virtual int32_t PrintStatus() = 0;
    virtual int32_t ZarelType() = 0;
    virtual bool ReadSystemInfo(SystemInfo *info) = 0;
    // zc_search: onTry(port, rate ordinal) before each try; false stops the search.
    virtual bool Search(int32_t *list, std::function<bool(int32_t, int32_t)> onTry) = 0;
    // Every transfer's progress line from now on, on the thread that runs it.
    virtual void ListenToProgress(std::function<void(const std::string &)> listener) = 0;
    virtual int32_t FileLength(const std::string &path) = 0;
    virtual int32_t FreeLogoSlot() = 0;
    virtual bool SendLogo(const std::string &path, int32_t slot) = 0;
};

class LibraryPrinter : public Printer {
public:
    ~LibraryPrinter() override;
    std::vector<zc_port_info> Ports() override;
    bool OpenPort(int32_t number) override;
    bool SetPortRate(int32_t rateOrdinal) override;
    bool ClosePort() override;
    zc_port_failure_info PortFailure() override;
    std::string RaisedPortError() override;
    int32_t PrintStatus() override;
    int32_t ZarelType() override;
    bool ReadSystemInfo(SystemInfo *info) override;
    bool Search(int32_t *list, std::function<bool(int32_t, int32_t)> onTry) override;
    void ListenToProgress(std::function<void(const std::string &)> listener) override;
    int32_t FileLength(const std::string &path) override;
    int32_t FreeLogoSlot() override;
    bool SendLogo(const std::string &path, int32_t slot) override;

private:
    std::function<void(const std::string &)> listener_;
};
