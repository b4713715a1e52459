// A font as a program asks for it (LOGFONTW), turned into the Qt font that
// draws it and the text cell the program measures with. The cell follows
// the Windows rules: ascent and descent from the face's Windows metrics (so
// that accents and round tops fit inside it), a positive height asking for
// the whole cell and a negative one for the character (em) height. Private
// to src/platform/gdi.
#pragma once

#include "platform/gdi/Gdi.h"

#include <QFont>

namespace platform::gdi {

struct FontCell {
    QFont font;
    int ascent = 0;
    int descent = 0;
    int emHeight = 0;  // Qt's pixel size
    // The face found for a bold request draws no heavier than the regular
    // one at this size: the text is struck twice, one pixel apart, as
    // Windows emboldens a face that has no bold of its own.
    bool overstrike = false;

    int Height() const { return ascent + descent; }
    // The extra width the second strike adds to a run of text.
    int Overhang() const { return overstrike ? 1 : 0; }
};

FontCell BuildFontCell(const LOGFONTW& logFont);

}  // namespace platform::gdi
