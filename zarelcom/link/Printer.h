// The commands that other parts of the library build on, each on the link it is given: the
// search asks for system information, the mode switch for the print status, the parameter and
// program downloads end with a restart, the transfers move data blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "link/Link.h"
#include "zarelcom/zarelcom.h"

// The five fields of the printer's "B" reply; info is untouched on failure.
bool GetSystemInfo(Link &link, SystemInfo &info);
// 1 printing, 0 not printing, -1 on failure.
int32_t PrintStatus(Link &link);
// The printer's restart command; true on a good reply.
bool RebootPrinter(Link &link);

// Sends the next 512 bytes of file (zero-filled where it ends) as data block `block`, up to three
// whole exchanges; true when the printer acknowledged it with "O". The block goes only when the
// read succeeded and gave at least `expected` bytes (fewer: the file shrank after its length was
// announced); otherwise nothing is sent and the reason is the link's port error.
bool SendBlock(Link &link, uint8_t block, FILE *file, std::size_t expected = 0);
// Asks for data block `block`, up to three exchanges; true when the whole block came with reply
// code "}" and an intact frame. Its 512 bytes are then at BlockData(link).
bool FetchBlock(Link &link, uint8_t block);
const uint8_t *BlockData(const Link &link);

// Opens serial port "Com" n on the link (n = 0 keeps an open port and fails); true when open.
bool OpenPort(Link &link, int32_t n);
// Sets the computer side's line rate (a ZC_BR* ordinal); true when the port is open.
bool SetPortRate(Link &link, int32_t ordinal);
