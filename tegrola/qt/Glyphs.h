// The glyphs of the window's flat buttons. Opening, saving and the arrows come from the style,
// so they match the desktop; the printer's own actions are drawn here.
#pragma once

#include <QIcon>

enum class TGlyph {
    OpenPort,
    StopPort,
    AutoConnect,
    OpenPicture,
    SaveLogo,
    SendLogo,
    NewText,
    SetFont,
    Up,
    Down,
    Left,
    Right,
    Centre
};

QIcon GlyphIcon(TGlyph glyph);
