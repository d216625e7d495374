// A printer on a serial device server, behind the same device interface as a local serial port.
//
// How the serial operations are met over the network:
// - rfc2217:// speaks telnet with the COM port option: line settings go to the server together
//   and each must come back acknowledged with its value; DTR, RTS and break are sent without
//   waiting, since servers on lines without modem lines leave them unanswered or answer wrongly;
//   modem lines and line errors come from the server's notifications. A server that refuses the
//   option is a raw port;
// - socket:// carries bytes only: a line rate is accepted only as the server's own rate, which
//   the port name may state (?baud=19200); without it no change of rate is accepted;
// - a thread per connection receives into a local buffer: queue counts come from it, and a
//   byte's arrival and the end of a write are the line events;
// - purging input empties the local buffer; stale bytes already on the way are dropped up to the
//   server's answer to a purge of its own buffer. Output is never purged: what was written is on
//   its way;
// - the end of the connection (closed, reset, keep-alive failed) is final: every later operation
//   fails, and Lost() says so, until the port is opened again.
#pragma once

#include <memory>
#include <string>

#include "comm/Device.h"

// Connects to the device server that the port name names (IsNetworkPortName); null with attempt
// filled when the name is malformed, the server cannot be reached or says the port is in use
// (EBUSY).
std::unique_ptr<Device> OpenNetworkDevice(const std::string& name, OpenAttempt& attempt);
