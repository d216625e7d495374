#include "Command.h"

namespace zarelctl {

const std::vector<Command> &AllCommands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        for (auto family : {PortCommands, QueryCommands, SettingCommands, HeadCommands,
                            ClockCommands, TransferCommands, LogoCommands})
            for (Command &command : family()) all.push_back(std::move(command));
        return all;
    }();
    return commands;
}

const Command *FindCommand(const std::string &name) {
    for (const Command &command : AllCommands())
        if (command.name == name) return &command;
    return nullptr;
}

} // namespace zarelctl
