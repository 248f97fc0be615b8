#include "app/rtf/RtfFormatBuilder.h"

#include <QBrush>
#include <QFont>

namespace karsidan::rtf {

QTextCharFormat RtfFormatBuilder::CharFormat(const CharacterState& state) const
{
    QTextCharFormat format;
    format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.italic);
    format.setFontUnderline(state.underline);
    format.setFontStrikeOut(state.strikeOut);
    format.setFontPointSize(state.halfPoints / 2.0);
    if (state.verticalShift > 0)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.verticalShift < 0)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);

    const QString family = fonts_.Family(state.font >= 0 ? state.font : defaultFont_);
    if (!family.isEmpty())
        format.setFontFamilies({family});
    // Automatic colours are left unset so the editor's palette applies.
    if (const auto color = colors_.Color(state.foreground))
        format.setForeground(QBrush(*color));
    if (const auto color = colors_.Color(state.background))
        format.setBackground(QBrush(*color));
    return format;
}

QTextBlockFormat RtfFormatBuilder::BlockFormat(const ParagraphState& state)
{
    QTextBlockFormat format;
    switch (state.alignment) {
    case Alignment::Left: format.setAlignment(Qt::AlignLeft); break;
    case Alignment::Right: format.setAlignment(Qt::AlignRight); break;
    case Alignment::Center: format.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Justify: format.setAlignment(Qt::AlignJustify); break;
    }
    format.setLeftMargin(TwipsToPixels(state.leftIndentTwips));
    format.setRightMargin(TwipsToPixels(state.rightIndentTwips));
    format.setTextIndent(TwipsToPixels(state.firstLineIndentTwips));
    format.setTopMargin(TwipsToPixels(state.spaceBeforeTwips));
    format.setBottomMargin(TwipsToPixels(state.spaceAfterTwips));
    return format;
}

} // namespace karsidan::rtf
