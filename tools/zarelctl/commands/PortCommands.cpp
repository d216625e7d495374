// ports: which COM numbers lead to a serial device here.
#include "../Command.h"
#include "../PortMap.h"

namespace zarelctl {

namespace {

void ListPorts(Session &s)
{
    s.ExpectWords(0, 0);
    std::vector<Json> entries;
    for (const MappedPort &port : MappedPorts()) {
        s.Out().Say("COM" + std::to_string(port.number) + "  " + port.device +
                    (port.fromDirectory ? "  (mapped in " + PortDirectory() + ")" : ""));
        entries.push_back(Json::Object()
                              .Add("port", port.number)
                              .Add("device", port.device)
                              .Add("mapped", port.fromDirectory));
    }
    if (entries.empty())
        s.Out().Say("No serial port found. Map a device as com<n> in " + PortDirectory() + ", for example:\n"
                    "  mkdir -p " + PortDirectory() + " && ln -s /dev/ttyUSB0 " + PortDirectory() + "/com3");
    s.Out().Set("ports", Json::List(std::move(entries)));
}

} // namespace

std::vector<Command> PortCommands()
{
    return {
        {"ports", "", "List the COM numbers and the devices behind them",
         "Entries com<n> of the port directory ($ZARELCOM_PORT_DIR, by default ~/.config/zarelcom/ports) come "
         "first;\nthen COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31 and COM65-96 /dev/ttyACM0-31 where "
         "they exist.\nNo printer is needed.",
         {}, ListPorts},
    };
}

} // namespace zarelctl
