#include "PrinterFiles.h"

#include "Bitmap.h"

#include <cstdio>

namespace zarelsim {

std::string NameFromField(const uint8_t* field) {
    std::string name;
    for (int i = 0; i < 24 && field[i] != 0; ++i) name += char(field[i]);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

Bytes ParameterFile(const PrinterState& state) {
    const auto sent = state.files.find(kParameterDownload);
    if (sent != state.files.end()) return sent->second;
    char text[512];
    const int n =
        std::snprintf(text, sizeof text,
                      "SERIAL=%d\r\nMODEL=%d\r\nFIRMWARE=%d\r\nLANGUAGE=%u\r\nMEASURE=%u\r\n"
                      "ENCODER=%d,%d\r\nCONVEYOR=%d\r\nROLLHOUR=%d\r\nYEARCODE=%d\r\nBAUD=%u\r\n",
                      state.serialNumber, state.modelNumber, state.firmwareVersion, state.language,
                      state.measure, state.encoder[0], state.encoder[1], state.conveyor,
                      state.rollHour, state.yearCode, state.BaudRate());
    return Bytes(text, text + n);
}

Bytes MessageNameList(const PrinterState& state) {
    Bytes list;
    for (const auto& [number, data] : state.messages) {
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%03d MSG%03d\r\n", number, number);
        list.insert(list.end(), line, line + n);
    }
    return list;
}

Bytes ScreenImage(const PrinterState& state) {
    MonoImage screen;
    screen.width = 128;
    screen.height = 32;
    screen.black.assign(size_t(screen.width) * screen.height, false);
    auto set = [&](int x, int y) { screen.black[size_t(y) * screen.width + x] = true; };
    for (int x = 0; x < screen.width; ++x) set(x, 0), set(x, screen.height - 1);
    for (int y = 0; y < screen.height; ++y) set(0, y), set(screen.width - 1, y);
    for (int slot = 0; slot < kLogoSlots; ++slot)
        if (!state.logos[slot].empty())
            for (int y = 8; y < 24; ++y) set(4 + slot * 2, y);
    return WriteMonoBmp(screen);
}

} // namespace zarelsim
