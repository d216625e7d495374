// A TComm on the virtual line "Com1".
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "VirtualPlatform.h"
#include "comm/Comm.h"

class PortOnVirtualLine : public ::testing::Test {
protected:
    void SetUp() override {
        line.AddDevice("Com1");
        port.UsePlatform(line);
    }

    // True when another thread can take the port lock (no raised error left it held).
    bool LockIsFree() {
        auto taken = std::async(std::launch::async, [this] {
            port.Lock();
            port.Unlock();
        });
        return taken.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    }

    // Runs action, which must raise ECommError, and returns its message.
    template <typename Action>
    std::string RaisedMessage(Action action) {
        try {
            action();
        } catch (const ECommError& error) {
            return error.what();
        }
        return "nothing raised";
    }

    VirtualPlatform line; // declared first: it outlives the port
    TComm port;
};
