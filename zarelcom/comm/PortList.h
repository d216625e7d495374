// The serial ports of this machine that a COM number reaches, with what the system knows of each.
#pragma once

#include <string>
#include <vector>

struct PortInfo {
    int number;               // the COM number that opens it
    std::string device;       // what the number resolves to ("/dev/ttyUSB0", "\\.\COM5",
                              // "rfc2217://10.0.4.17:4001")
    std::string byId;         // the stable /dev/serial/by-id name, or ""
    std::string description;  // USB product or the system's friendly name, or ""
    std::string serialNumber; // USB serial number, or ""
    int usbVendor = -1, usbProduct = -1;
};

// The entry of a COM number that names a device server: the URL as its device.
PortInfo NetworkPort(int number, const std::string& name);

// Every port a COM number opens, in COM order. A device the user may not open, or that another
// program holds, is listed: its open tells why it fails.
std::vector<PortInfo> ListPorts();
