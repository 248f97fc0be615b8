#include "app/EditorText.h"

#include "codepage/CodePage.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>

#include <algorithm>
#include <vector>

namespace karsidan {

namespace {

void AppendBlockText(QString& out, const QString& text)
{
    // Most blocks hold no break of their own: append them whole.
    const bool breaks = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == u'\n';
    });
    if (!breaks) {
        out += text;
        return;
    }
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
    // The raw text in one piece is far quicker than block by block, which
    // matters for megabytes; tables and other frames put markers into it,
    // so those documents go block by block.
    if (document.rootFrame()->childFrames().isEmpty()) {
        const QString raw = document.toRawText();
        QString text;
        text.reserve(raw.size() + raw.size() / 16);
        QTextBlock block = document.begin();
        qsizetype from = 0;
        const bool innerBreaks = raw.contains(QChar::LineSeparator) || raw.contains(u'\n');
        const auto appendRun = [&](qsizetype to) {
            // Line breaks inside a block are CR LF as between blocks.
            if (!innerBreaks) {
                text += QStringView(raw).sliced(from, to - from);
                return;
            }
            qsizetype at = from;
            for (qsizetype i = from; i < to; ++i) {
                if (raw[i] == QChar::LineSeparator || raw[i] == u'\n') {
                    text += QStringView(raw).sliced(at, i - at);
                    text += QLatin1String("\r\n");
                    at = i + 1;
                }
            }
            text += QStringView(raw).sliced(at, to - at);
        };
        for (qsizetype i = raw.indexOf(QChar::ParagraphSeparator); i >= 0;
             i = raw.indexOf(QChar::ParagraphSeparator, i + 1)) {
            appendRun(i);
            block = block.next();
            if (block.isValid() && block.userState() != kContinuation)
                text += QLatin1String("\r\n");
            from = i + 1;
        }
        appendRun(raw.size());
        return text;
    }
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

std::vector<EditorText::Row> EditorText::SplitRows(const QString& text, qsizetype rowLength)
{
    rowLength = std::max<qsizetype>(rowLength, 16);
    std::vector<Row> rows;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).sliced(start, end - start);
        if (line.size() <= kLongLine) {
            rows.push_back({start, line.size(), false});
        } else {
            qsizetype at = start;
            while (!line.isEmpty()) {
                const qsizetype n = PieceLength(line, rowLength);
                rows.push_back({at, n, at != start});
                at += n;
                line = line.sliced(n);
            }
        }
        if (end == text.size())
            return rows;
        start = end + 1;
    }
}

void EditorText::SetPlainText(QTextDocument& document, const QString& text, qsizetype rowLength)
{
    const std::vector<Row> rows = SplitRows(text, rowLength);
    QString joined;
    joined.reserve(text.size() + qsizetype(rows.size()));
    for (const Row& row : rows) {
        if (&row != &rows.front())
            joined += QLatin1Char('\n');
        joined += QStringView(text).sliced(row.from, row.length);
    }
    document.setPlainText(joined);
    std::size_t index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index)
        block.setUserState(index < rows.size() && rows[index].continues ? kContinuation : -1);
}

qsizetype EditorText::RowLength(const QTextEdit& editor)
{
    const QFontMetricsF metrics(editor.document()->defaultFont());
    qreal widest = 1;
    for (QChar c : QStringLiteral("0123456789ABCDEFabcdefW"))
        widest = std::max(widest, metrics.horizontalAdvance(c));
    const qreal margins = 2 * editor.document()->documentMargin() + 4;
    // From the frame, not the viewport: it is right before the first show too.
    const qreal width = editor.contentsRect().width() - editor.verticalScrollBar()->sizeHint().width() - margins;
    return std::max<qsizetype>(16, qsizetype(width / widest) - 1);
}

QString EditorText::UnmappableMessage(const QString& text, const UnmappableCharacterError& error)
{
    // The error counts code points of the text with CR LF between lines.
    std::size_t index = 0;
    qsizetype shown = 0;
    for (qsizetype i = 0; i < text.size() && index < error.position(); ++shown) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            i += 2;
            index += 2;
            continue;
        }
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        ++index;
    }
    return QStringLiteral("Karakter %1 pada posisi %2 tidak dapat ditulis dalam kode halaman Windows-1252")
        .arg(DescribeCharacter(error.character()))
        .arg(shown + 1);
}

QString EditorText::DescribeCharacter(char32_t character)
{
    const QString code = QStringLiteral("U+%1").arg(QString::number(character, 16).toUpper().rightJustified(4, u'0'));
    switch (QChar::category(character)) {
    case QChar::Other_PrivateUse:
        // Symbol fonts draw these; without the font the editor shows a box.
        return QStringLiteral("simbol %1 dari huruf simbol (misalnya Symbol atau Wingdings) "
                              "yang tidak punya padanan Unicode")
            .arg(code);
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing: return QStringLiteral("tak terlihat %1").arg(code);
    default: return QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&character, 1), code);
    }
}

std::string EditorText::ToCodePage(const QString& text)
{
    return Utf16ToCodePage(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

QString EditorText::FromCodePage(std::string_view bytes)
{
    // Cipher texts are plain ASCII: Latin-1 is the same there, and Qt
    // widens it many bytes at a time.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii && bytes.find('\r') == std::string_view::npos)
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
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
