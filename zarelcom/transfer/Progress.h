// The progress line reported after every finished block of a transfer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/Link.h"

// "name  pp% done / total Bytes" (the per-cent field exactly four characters), or only
// "done / 0" for a total of 0; "  Retry count:r" follows when retries is above 0.
// done is n x 512: whole blocks, so it can pass the total on the last block.
std::string ProgressLine(std::string_view name, int32_t total, int32_t n, int32_t retries);

// Builds the line with the link's current retry counter and hands it to the link's message
// callback and then to its progress callback with the figures, to those that are registered.
void ReportProgress(const Link &link, std::string_view name, int32_t total, int32_t n);
