#include "app/EditorText.h"

#include "codepage/CodePage.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QScrollBar>
#include <QTextEdit>

#include <algorithm>
#include <vector>

namespace karsidan {

namespace {

void AppendBlockText(QString& out, const QString& text)
{
    for (QChar c : text) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == u'\n')
            out += QLatin1String("\r\n");
        else
            out += c;
    }
}

// Where to cut a long line: after a blank near the end of the row when
// there is one, so words stay whole; else at the row's end.
qsizetype PieceLength(QStringView rest, qsizetype rowLength)
{
    if (rest.size() <= rowLength)
        return rest.size();
    for (qsizetype i = rowLength; i > rowLength * 3 / 4; --i)
        if (rest[i - 1] == u' ')
            return i;
    return rowLength;
}

} // namespace

QString EditorText::PlainText(const QTextDocument& document)
{
    QString text;
    text.reserve(document.characterCount() + document.blockCount());
    bool first = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!first && block.userState() != kContinuation)
            text += QLatin1String("\r\n");
        first = false;
        AppendBlockText(text, block.text());
    }
    return text;
}

void EditorText::SetPlainText(QTextEdit& editor, const QString& text)
{
    SetPlainText(*editor.document(), text, RowLength(editor));
}

void EditorText::SetPlainText(QTextDocument& document, const QString& text, qsizetype rowLength)
{
    rowLength = std::max<qsizetype>(rowLength, 16);
    // Blocks in order, and whether each continues the one before.
    QString joined;
    std::vector<bool> continues;
    joined.reserve(text.size() + text.size() / rowLength + 1);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (!continues.empty())
            joined += QLatin1Char('\n');
        if (line.size() <= kLongLine) {
            joined += line;
            continues.push_back(false);
            continue;
        }
        bool firstPiece = true;
        while (!line.isEmpty()) {
            const qsizetype n = PieceLength(line, rowLength);
            if (!firstPiece)
                joined += QLatin1Char('\n');
            joined += line.left(n);
            continues.push_back(!firstPiece);
            firstPiece = false;
            line = line.mid(n);
        }
    }
    document.setPlainText(joined);
    std::size_t index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index)
        block.setUserState(index < continues.size() && continues[index] ? kContinuation : -1);
}

qsizetype EditorText::RowLength(const QTextEdit& editor)
{
    const QFontMetricsF metrics(editor.document()->defaultFont());
    qreal widest = 1;
    for (QChar c : QStringLiteral("0123456789ABCDEFabcdefW"))
        widest = std::max(widest, metrics.horizontalAdvance(c));
    const qreal margins = 2 * editor.document()->documentMargin() + 4;
    // From the frame, not the viewport: it is right before the first show too.
    const qreal width = editor.contentsRect().width()
                        - editor.verticalScrollBar()->sizeHint().width() - margins;
    return std::max<qsizetype>(16, qsizetype(width / widest) - 1);
}

std::string EditorText::ToCodePage(const QString& text)
{
    return Utf16ToCodePage(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                            static_cast<std::size_t>(text.size())));
}

QString EditorText::FromCodePage(std::string_view bytes)
{
    const std::u16string text = CodePageToUtf16(bytes);
    return NormalizeLineBreaks(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

QString EditorText::NormalizeLineBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r')) {
            result += QLatin1Char('\n');
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace karsidan
