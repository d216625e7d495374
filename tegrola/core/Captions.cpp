#include "core/Captions.h"

// The Simplified set leaves GroupBox6, Panel4 and GroupBox20 as the previous set wrote them.
const std::array<TCaption, 19> CaptionTable = {{
    {"GroupBox6", "", "", nullptr},
    {"Panel4", "Panel4", "Panel4", nullptr},
    {"TabSheet3", "Exist Logo", "圖形  ", "图形  "},
    {"SpeedButton48", "Open Picture", "開啟圖檔  ", "开启图档  "},
    {"SpeedButton53", "Save Logo As", "存檔", "存档  "},
    {"TabSheet4", "New Logo", "新圖 ", "新图  "},
    {"SpeedButton47", "Send Logo", "傳送圖檔  ", "传送图档  "},
    {"SpeedButton49", "New Text", "輸入文字  ", "输入文字  "},
    {"SpeedButton46", "Send Logo", "傳送圖檔  ", "传送图档  "},
    {"SpeedButton54", "Save Logo As", "存檔  ", "存档  "},
    {"SpeedButton50", "Set Font", "設定字型  ", "设定字型  "},
    {"RadioGroup2", "LOGO Height", "設定字高  ", "设定字高  "},
    {"GroupBox22", "Position", "調整位置  ", "调整位置  "},
    {"StatusBar1", "Status", "狀態  ", "状态  "},
    {"GroupBox20", "Communication", "", nullptr},
    {"Label1", "COM Port", "通訊阜  ", "接口  "},
    {"Label2", "ZarelBaudRate", "通訊速率  ", "通讯速率  "},
    {"Label3", "Langurge", "語言  ", "语言  "},
    {"StatusBar2", "System", "系統  ", "系统  "},
}};

const char *CaptionFor(const TCaption &caption, int languageIndex) {
    switch (languageIndex) {
    case liTraditionalChinese:
        return caption.Traditional;
    case liSimplifiedChinese:
        return caption.Simplified;
    default:
        return caption.English;
    }
}
