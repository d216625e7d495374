// The state folder across runs, and the bitmaps the printer reads and makes.
#include "Bitmap.h"
#include "StateStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace zarelsim {
namespace {

std::string TemporaryFolder() {
    char name[] = "/tmp/zarelsim-state-XXXXXX";
    return mkdtemp(name);
}

TEST(StateStoreTest, WhatOneRunSavesTheNextLoads) {
    const std::string folder = TemporaryFolder();
    PrinterState first;
    first.strings[9] = std::string("a\0b c", 5);
    first.shifts[2] = Shift{'B', 1230};
    first.counters[4].values[1] = -5;
    first.messageDelays[3] = 250;
    first.logos[4] = {'B', 'M', 1, 2};
    first.files["bmp\\logo1.bmp"] = {9, 9};
    first.files["HP.ZIP"] = {1};
    first.messages[3] = {7, 7, 7};
    first.dateFormat = {0x2D};
    first.languages = {"English "};
    {
        StateStore store(folder);
        EXPECT_FALSE(store.Load(first));
        store.Save(first);
        first.files.erase("HP.ZIP"); // a removal reaches the folder too
        store.Save(first);
    }
    PrinterState second;
    StateStore store(folder);
    ASSERT_TRUE(store.Load(second));
    EXPECT_EQ(SettingsText(second), SettingsText(first));
    EXPECT_EQ(second.strings[9], first.strings[9]);
    EXPECT_EQ(second.logos[4], first.logos[4]);
    EXPECT_EQ(second.files, first.files);
    EXPECT_EQ(second.messages, first.messages);
    std::system(("rm -rf " + folder).c_str());
}

TEST(StateStoreTest, ABrokenSettingsLineIsNamed) {
    const std::string folder = TemporaryFolder();
    std::ofstream(folder + "/settings.txt") << "serial 5\nmodel many\n";
    PrinterState state;
    StateStore store(folder);
    try {
        store.Load(state);
        FAIL() << "loaded a broken settings file";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("model many"), std::string::npos);
    }
    std::system(("rm -rf " + folder).c_str());
}

TEST(BitmapTest, OneBitBitmapsRoundTripAndDrawAsText) {
    MonoImage image;
    image.width = 10;
    image.height = 3;
    image.black.assign(30, false);
    image.black[0] = image.black[11] = image.black[29] = true;
    const Bytes file = WriteMonoBmp(image);
    EXPECT_EQ(file[10], 62);
    EXPECT_EQ(file.size(), 62u + 3 * 4);
    const std::optional<MonoImage> back = ReadMonoBmp(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->black, image.black);
    EXPECT_EQ(TextArt(*back), "#.........\n.#........\n.........#\n");
    EXPECT_FALSE(ReadMonoBmp(Bytes(file.begin(), file.end() - 1)));
    EXPECT_FALSE(ReadMonoBmp({'B', 'M'}));
}

} // namespace
} // namespace zarelsim
