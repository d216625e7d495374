// zarel-sim: a Zarel HP printer on a pseudo-terminal. Prints the terminal's path, then answers
// until interrupted.
#include <zarelsim/Simulator.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

namespace {

const char kUsage[] =
    "Usage: zarel-sim [options]\n"
    "A Zarel HP marking printer on a pseudo-terminal, for tests, demos and development without a\n"
    "printer. Prints the terminal's path, then answers until interrupted.\n\n"
    "  --com N          also register the terminal as com<N> in $ZARELCOM_PORT_DIR\n"
    "                   (default ~/.config/zarelcom/ports); removed again at the end\n"
    "  --baud RATE      the printer's line rate: 9600, 19200 (default), 38400, 57600, 115200\n"
    "  --state DIR      keep the printer's state in DIR across runs\n"
    "  --throttle       carry bytes at the line's real rate both ways (10 bits a byte)\n"
    "  --log FILE       write both directions in hex with time stamps to FILE\n"
    "  --show-logos     draw each received logo as text, one character a dot\n"
    "  --dump DIR       write each received logo to DIR as LOGOnn.BMP\n"
    "  --reboot-ms MS   how long a restart keeps the printer deaf (default 1000)\n"
    "  --noise PPM      change PPM of every million bytes on the line at random, both ways\n"
    "  --fault FAULT    produce a fault; may be repeated. FAULT is KIND[:VALUE][@CMD,...][/EVERY]\n"
    "                   KIND: stray, truncate, error, silence, wrongcode, delay, hangup, drip\n"
    "                   e.g. error:16@B  silence@M/3  delay:300  hangup:2  drip:5@0x7C\n"
    "  --version        show the simulator's version\n";

zarelsim::Simulator* running = nullptr;

void OnSignal(int) {
    if (running) running->RequestStop();
}

uint32_t Number(const std::string& option, const char* text) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value > UINT32_MAX)
        throw std::invalid_argument(option + " needs a number, not \"" + text + "\"");
    return uint32_t(value);
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

zarelsim::Options ParseArguments(int argc, char** argv) {
    zarelsim::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc)
                throw std::invalid_argument(option + " needs a value; see zarel-sim --help");
            return argv[++i];
        };
        if (option == "--help" || option == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (option == "--version") {
            std::cout << "zarel-sim " ZARELSIM_VERSION "\n";
            std::exit(0);
        } else if (option == "--com") {
            options.comNumber = int(Number(option, value()));
            if (options.comNumber < 1 || options.comNumber > 255)
                throw std::invalid_argument("--com needs a port number from 1 to 255");
        } else if (option == "--baud") {
            options.baud = Number(option, value());
        } else if (option == "--state") {
            options.stateDirectory = value();
        } else if (option == "--throttle") {
            options.throttle = true;
        } else if (option == "--log") {
            options.logFile = value();
        } else if (option == "--show-logos") {
            options.logoArt = &std::cout;
        } else if (option == "--dump") {
            options.dumpDirectory = value();
            if (!IsDirectory(options.dumpDirectory))
                throw std::invalid_argument("--dump: " + options.dumpDirectory +
                                            " is not a folder; create it first");
        } else if (option == "--reboot-ms") {
            options.rebootMs = Number(option, value());
        } else if (option == "--noise") {
            options.noisePerMillion = Number(option, value());
            if (options.noisePerMillion > 1000000)
                throw std::invalid_argument("--noise needs a count from 0 to 1000000");
        } else if (option == "--fault") {
            options.faults.push_back(zarelsim::ParseFault(value()));
        } else {
            throw std::invalid_argument("unknown option " + option + "; see zarel-sim --help");
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    try {
        zarelsim::Simulator printer(ParseArguments(argc, argv));
        running = &printer;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
        std::signal(SIGPIPE, SIG_IGN);
        std::cout << printer.SlavePath() << std::endl;
        if (!printer.ComEntry().empty())
            std::cerr << "zarel-sim: registered as " << printer.ComEntry() << "\n";
        printer.Run();
        running = nullptr;
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "zarel-sim: " << e.what() << "\n";
        return 1;
    }
}
