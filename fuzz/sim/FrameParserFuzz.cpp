// Any byte stream from a host, into the simulator's frame reader, its printer and its terminal
// mode, switching modes as the stream asks: nothing may crash or read out of bounds.
#include "Frame.h"
#include "Printer.h"
#include "Terminal.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zarelsim::PrinterState state;
    state.diskCapacity = 1 << 16;
    zarelsim::Printer printer(state);
    zarelsim::FrameReader reader;
    zarelsim::Terminal terminal;
    bool terminalMode = false;
    size_t at = 0;
    while (at < size) {
        if (terminalMode) {
            zarelsim::Terminal::Output out;
            at += terminal.Feed(data + at, size - at, out);
            terminalMode = !out.toPacketMode;
            continue;
        }
        zarelsim::FrameReader::Result frame;
        at += reader.Feed(data + at, size - at, frame);
        if (frame.kind != zarelsim::FrameReader::Result::Frame) continue;
        const zarelsim::Outcome outcome = printer.Handle(frame.payload);
        if (outcome.answer) zarelsim::BuildReply(outcome.code, outcome.data);
        terminalMode = outcome.after == zarelsim::Outcome::ToTerminalMode;
    }
    return 0;
}
