#include "LogicFixtures.h"

#include "BlockFont.h"

#include <chrono>
#include <random>

void VirtualWindowThread::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        queue_.push_back(std::move(task));
    }
    posted_.notify_all();
}

void VirtualWindowThread::After(int milliseconds, std::function<void()> task) {
    timers_.emplace(now_ + milliseconds, std::move(task));
}

void VirtualWindowThread::Advance(int milliseconds) {
    const int64_t until = now_ + milliseconds;
    while (!timers_.empty() && timers_.begin()->first <= until) {
        now_ = timers_.begin()->first;
        auto task = std::move(timers_.begin()->second);
        timers_.erase(timers_.begin());
        task();
    }
    now_ = until;
}

bool VirtualWindowThread::RunUntil(const std::function<bool()> &done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> hold(lock_);
            if (!posted_.wait_until(hold, deadline, [&] { return !queue_.empty(); })) return false;
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
    return true;
}

std::unique_ptr<TextRasterizer> BlockFonts::RasterizerFor(const LogoFont &font) {
    return std::make_unique<BlockFont>(font.points);
}

bool ScriptedPrinter::OpenPort(int32_t) {
    ++opened;
    return opens;
}

bool ScriptedPrinter::ClosePort() {
    ++closed;
    {
        std::lock_guard<std::mutex> hold(lock_);
        closedDuringSearch_ = true;
    }
    portClosed_.notify_all();
    return true;
}

bool ScriptedPrinter::Search(int32_t *list, std::function<bool(int32_t, int32_t)> onTry) {
    ++searches;
    if (searchWaitsForStop) {
        // A silent port: the try lasts until its port is closed, then the search asks again.
        if (!onTry(list[1], ZC_BR9600)) return false;
        std::unique_lock<std::mutex> hold(lock_);
        portClosed_.wait(hold, [&] { return closedDuringSearch_; });
        hold.unlock();
        onTry(list[1], ZC_BR19200);
        return false; // the closed port answered nothing
    }
    if (!onTry(list[1], ZC_BR9600) || !onTry(list[1], ZC_BR19200)) return false;
    if (!searchFinds) return false;
    list[0] = 1;
    list[1] = 1;
    return true;
}

bool ScriptedPrinter::SendLogo(const std::string &, int32_t) {
    ++sent;
    if (progress_) {
        progress_("Tx Block 1 of 1");
    }
    return sends;
}

zc_port_info Port(int32_t number) {
    zc_port_info port{};
    port.number = number;
    return port;
}

LogicBench::LogicBench() {
    std::random_device random;
    folder = std::filesystem::temp_directory_path() / ("tegrola-logic-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
    printer.ports = {Port(1), Port(2), Port(7)};
}

LogicBench::~LogicBench() {
    logic.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

TegrolaLogic &LogicBench::Start() {
    logic = std::make_unique<TegrolaLogic>(
        WindowParts{view, store, thread, dialogs, fonts, printer}, folder.string());
    logic->Start();
    logic->FormShow();
    return *logic;
}

TegrolaLogic &LogicBench::Connect() {
    Start().SpeedButton1Click();
    return *logic;
}
