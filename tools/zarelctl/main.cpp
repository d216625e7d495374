// zarelctl: a command-line front end to the Zarelcom library.
#include "Command.h"
#include "Help.h"
#include "Progress.h"
#include "System.h"

#include <zarelcom/zarelcom.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace zarelctl;

namespace {

enum ExitStatus { Done = 0, Refused = 1, BadUsage = 2 };
// The code JSON gives a usage error: the usual EX_USAGE of sysexits.h.
const int UsageErrorCode = 64;

const std::vector<OptionRule> *OptionsOf(const std::string &name) {
    const Command *command = FindCommand(name);
    return command ? &command->options : nullptr;
}

bool AskedForJson(int argc, char **argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--json") == 0 || std::strcmp(argv[i], "-j") == 0) return true;
    return false;
}

int Run(const Command &command, const CommandLine &line, Report &report) {
    Session session(line, report);
    try {
        ShowProgressOn(stderr, isatty(STDERR_FILENO) == 1);
        command.run(session);
        FinishProgress();
        CloseComPort();
        report.PrintSuccess(stdout);
        return Done;
    } catch (const PrinterFailure &failure) {
        FinishProgress();
        CloseComPort();
        report.PrintFailure(stdout, stderr, Refused, failure.what(), failure.Code(),
                            failure.Reason(), failure.Source());
        return Refused;
    } catch (const UsageError &) {
        throw;
    } catch (const std::exception &error) {
        // Whatever else stops a command (memory, a stream) is still a message and exit 1.
        FinishProgress();
        CloseComPort();
        report.PrintFailure(stdout, stderr, Refused,
                            std::string("the command stopped: ") + error.what(), -1, "", "local");
        return Refused;
    }
}

} // namespace

int main(int argc, char **argv) {
    Report report(AskedForJson(argc, argv));
    const Command *command = nullptr;
    try {
        CommandLine line = ParseCommandLine(argc, argv, OptionsOf);
        if (line.Has("--version")) {
            std::printf("zarelctl %s\nLibrary: Zarelcom, interface version %d\nMIT License: free "
                        "to use, change and "
                        "pass on; no warranty.\n",
                        ZARELCOM_VERSION_STRING, DllVersion());
            return Done;
        }
        if (line.Has("--trace")) SetEnvironment("ZARELCOM_TRACE", "stderr");
        if (line.command == "help" || (line.command.empty() && line.Has("--help"))) {
            const Command *topic = line.words.empty() ? nullptr : FindCommand(line.words[0]);
            if (!line.words.empty() && !topic)
                throw UsageError("there is no command '" + line.words[0] + "'");
            std::fputs(topic ? CommandHelp(*topic).c_str() : ToolHelp().c_str(), stdout);
            return Done;
        }
        if (line.command.empty()) throw UsageError("no command given");
        command = FindCommand(line.command);
        if (!command) throw UsageError("there is no command '" + line.command + "'");
        if (line.Has("--help")) {
            std::fputs(CommandHelp(*command).c_str(), stdout);
            return Done;
        }
        if (line.Has("--auto") && (line.Has("--port") || line.Has("--baud")))
            throw UsageError(
                "--auto searches every mapped port at every rate; leave out --port and --baud");
        return Run(*command, line, report);
    } catch (const UsageError &error) {
        CloseComPort();
        report.PrintFailure(stdout, stderr, BadUsage, error.what(), UsageErrorCode, "usage",
                            "usage");
        std::fprintf(stderr, "%s\nRun 'zarelctl %s--help' for details.\n",
                     UsageLine(command).c_str(), command ? (command->name + " ").c_str() : "");
        return BadUsage;
    }
}
