// The shapes shared by the command functions: one exchange of a command template, a one-byte
// query, a one-byte setting.
#pragma once

#include "link/CommandTable.h"
#include "link/Exchange.h"
#include "link/Reply.h"

template <std::size_t Size>
bool Exchange(Link &link, Request<Size> &request) {
    return Exchange(link, request.Frame());
}

// The command without parameters (or with the template's own).
template <std::size_t Size>
bool Exchange(Link &link, const std::array<uint8_t, Size> &commandTemplate) {
    Request<Size> request(commandTemplate);
    return Exchange(link, request);
}

// The exchange of a reader that takes `dataBytes` reply data bytes: true for a good reply that
// carries them (see ReplyCarries).
template <std::size_t Size>
bool ExchangeFor(Link &link, Request<Size> &request, std::size_t dataBytes) {
    return Exchange(link, request) && ReplyCarries(link, dataBytes);
}

template <std::size_t Size>
bool ExchangeFor(Link &link, const std::array<uint8_t, Size> &commandTemplate,
                 std::size_t dataBytes) {
    Request<Size> request(commandTemplate);
    return ExchangeFor(link, request, dataBytes);
}

// Reply data byte 0, or the query's failure value.
template <std::size_t Size>
int32_t QueryByte(Link &link, const std::array<uint8_t, Size> &commandTemplate, int32_t failure) {
    return ExchangeFor(link, commandTemplate, 1) ? ReplyByte(link, 0) : failure;
}

// Sends the low byte of the value as the command's one parameter.
template <std::size_t Size>
bool SendByte(Link &link, const std::array<uint8_t, Size> &commandTemplate, int32_t value) {
    Request<Size> request(commandTemplate);
    return Exchange(link, request.Byte(2, value));
}

// Sends every parameter byte of the command, in order, from `bytes`.
template <std::size_t Size>
bool SendBytes(Link &link, const std::array<uint8_t, Size> &commandTemplate, const uint8_t *bytes) {
    Request<Size> request(commandTemplate);
    for (std::size_t at = 2; at + kFrameOverhead < Size; ++at) request.Byte(at, bytes[at - 2]);
    return Exchange(link, request);
}

// Sends the command's parameters as 32-bit values from `values`, in order.
template <std::size_t Size>
bool SendLe32(Link &link, const std::array<uint8_t, Size> &commandTemplate, const int32_t *values) {
    Request<Size> request(commandTemplate);
    for (std::size_t at = 2; at + kFrameOverhead < Size; at += 4)
        request.Le32(at, values[(at - 2) / 4]);
    return Exchange(link, request);
}
