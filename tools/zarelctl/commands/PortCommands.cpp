// ports: the serial ports of this machine, by the COM number that opens each.
#include "../Command.h"
#include "../Ports.h"

#include <cstdio>

namespace zarelctl {

namespace {

std::string UsbId(const zc_port_info &port) {
    char id[16];
    std::snprintf(id, sizeof id, "%04x:%04x", static_cast<unsigned>(port.usb_vendor) & 0xFFFF,
                  static_cast<unsigned>(port.usb_product) & 0xFFFF);
    return id;
}

void ListPorts(Session &s) {
    s.ExpectWords(0, 0);
    std::vector<Json> entries;
    for (const zc_port_info &port : ListedPorts()) {
        std::string line = "COM" + std::to_string(port.number) + "  " + port.device;
        if (port.usb_vendor >= 0) line += "  USB " + UsbId(port);
        if (*port.description) line += "  " + std::string(port.description);
        if (*port.serial_number) line += "  serial " + std::string(port.serial_number);
        if (*port.by_id) line += "\n       " + std::string(port.by_id);
        s.Out().Say(line);
        Json entry = Json::Object().Add("port", port.number).Add("device", port.device);
        entry.Add("byId", *port.by_id ? Json(port.by_id) : Json());
        entry.Add("description", *port.description ? Json(port.description) : Json());
        entry.Add("serialNumber", *port.serial_number ? Json(port.serial_number) : Json());
        entry.Add("usbVendor", port.usb_vendor >= 0 ? Json(port.usb_vendor) : Json());
        entry.Add("usbProduct", port.usb_product >= 0 ? Json(port.usb_product) : Json());
        entries.push_back(std::move(entry));
    }
    if (entries.empty())
        s.Out().Say(
            "No serial port found. Plug in the printer's adapter, or map its device as com<n> in "
            "the port\n"
            "directory ($ZARELCOM_PORT_DIR, by default ~/.config/zarelcom/ports), for example:\n"
            "  mkdir -p ~/.config/zarelcom/ports && ln -s /dev/ttyUSB0 "
            "~/.config/zarelcom/ports/com3");
    s.Out().Set("ports", Json::List(std::move(entries)));
}

} // namespace

std::vector<Command> PortCommands() {
    return {
        {"ports",
         "",
         "List the serial ports and the COM numbers that open them",
         "Entries com<n> of the port directory ($ZARELCOM_PORT_DIR, by default "
         "~/.config/zarelcom/ports) come\n"
         "first; then COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31 and COM65-96 "
         "/dev/ttyACM0-31 where\n"
         "they are serial ports. USB adapters show their vendor and product id, name, serial "
         "number and\n"
         "stable /dev/serial/by-id name, which --port also takes. No printer is needed.",
         {},
         ListPorts},
    };
}

} // namespace zarelctl
