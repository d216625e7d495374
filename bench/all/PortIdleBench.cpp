// CPU time of a process whose port is open and idle (the event thread waiting for line events),
// beside the floor of a thread that sleeps in the kernel: next to nothing. Against the simulated
// printer on a pseudo-terminal.
//   bench_port_idle [SECONDS]      (default 5)
#include <zarelcom/zarelcom.h>
#include <zarelsim/Simulator.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <unistd.h>

namespace {
double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    char folder[] = "/tmp/zarelcom-idle-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    setenv("ZARELCOM_PORT_DIR", folder, 1);
    zarelsim::Options options;
    options.comNumber = 21;
    options.portDirectory = folder;
    zarelsim::Simulator printer(options);
    printer.Start();
    if (!OpenComPort(21)) {
        std::fprintf(stderr, "cannot open the port to the simulated printer: %s\n",
                     GetLastPortError());
        return 1;
    }
    SystemInfo info{};
    const bool answered = GetSysInfo(&info);
    const double before = ProcessCpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double used = ProcessCpuMs() - before;
    CloseComPort();
    printer.Stop();
    rmdir(folder);
    std::printf(
        "idle open port (printer %s): %.2f ms of CPU in %d s = %.3f %% of one core; floor 0 %%\n",
        answered ? "answered" : "did NOT answer", used, seconds, used / (seconds * 10.0));
    return answered ? 0 : 1;
}
