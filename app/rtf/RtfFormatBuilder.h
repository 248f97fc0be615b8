#pragma once
// Turns group states into Qt formats, resolving font and colour numbers
// through the tables read so far.

#include "app/rtf/RtfColorTable.h"
#include "app/rtf/RtfFontTable.h"
#include "app/rtf/RtfGroupState.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>

namespace karsidan::rtf {

class RtfFormatBuilder {
public:
    RtfFormatBuilder(const RtfFontTable& fonts, const RtfColorTable& colors) : fonts_(fonts), colors_(colors) { }

    void SetDefaultFont(int number) { defaultFont_ = number; }
    int DefaultFont() const { return defaultFont_; }

    QTextCharFormat CharFormat(const CharacterState& state) const;
    static QTextBlockFormat BlockFormat(const ParagraphState& state);

    // Twips (1/1440 inch) to the document's pixels (1/96 inch).
    static qreal TwipsToPixels(int twips) { return twips / 15.0; }

private:
    const RtfFontTable& fonts_;
    const RtfColorTable& colors_;
    int defaultFont_ = -1;
};

} // namespace karsidan::rtf
