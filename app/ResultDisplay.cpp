#include "app/ResultDisplay.h"

#include "app/EditorText.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <utility>

namespace karsidan {

namespace {

// Blocks of whole rows up to the editor's long-line limit: a block's rows
// then fill the editor's width, with no short row where a block ends.
std::vector<EditorText::Row> CipherBlocks(const QString& text, qsizetype rowLength)
{
    const qsizetype blockLength = std::max<qsizetype>(1, EditorText::kLongLine / rowLength) * rowLength;
    std::vector<EditorText::Row> rows;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        if (end - start <= EditorText::kLongLine) {
            rows.push_back({start, end - start, false});
        } else {
            for (qsizetype at = start; at < end; at += blockLength)
                rows.push_back({at, std::min(blockLength, end - at), at != start});
        }
        if (end == text.size())
            return rows;
        start = end + 1;
    }
}

} // namespace

ResultDisplay::ResultDisplay(QTextEdit& editor, QObject* parent)
    : QObject(parent), editor_(editor), timer_(new QTimer(this))
{
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, [this] { ShowSlice(kSliceMs); });
}

qsizetype ResultDisplay::RowCharacters(const QTextEdit& editor)
{
    // Lay out one row as the editor will, with the scroll bar a long text
    // brings.
    const QTextDocument& document = *editor.document();
    const qreal width = editor.contentsRect().width() - editor.verticalScrollBar()->sizeHint().width()
        - 2 * document.documentMargin();
    QTextLayout layout(QString(512, QLatin1Char('0')), document.defaultFont());
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(std::max<qreal>(width, 1));
    const qsizetype characters = line.textLength();
    layout.endLayout();
    return std::max<qsizetype>(characters, 16);
}

void ResultDisplay::SetShape(Shape shape)
{
    editor_.setWordWrapMode(shape == Shape::CipherText ? QTextOption::WrapAnywhere : QTextOption::WordWrap);
}

void ResultDisplay::Show(const QString& text, Shape shape)
{
    Clear();
    SetShape(shape);
    if (text.size() <= kAtOnce) {
        EditorText::SetPlainText(editor_, text);
        emit Shown();
        return;
    }
    if (shape == Shape::CipherText) {
        ShowBlocksOfRows(text);
        return;
    }
    text_ = text;
    const auto rows = EditorText::SplitRows(text_, std::max<qsizetype>(EditorText::RowLength(editor_), 16));
    pieces_.reserve(rows.size());
    for (const auto& row : rows)
        pieces_.push_back({row.from, row.length, row.continues});
    // Each insertion would otherwise be an undo step of its own.
    editor_.document()->setUndoRedoEnabled(false);
    ShowSlice(kSliceMs);
}

void ResultDisplay::ShowBlocksOfRows(const QString& text)
{
    // Into a document of its own, a slice per turn of the loop: a document
    // shown in an editor lays out everything before each insertion, while
    // one put in whole is laid out by the editor a screen first and the
    // rest in steps of its own.
    const QTextDocument& shown = *editor_.document();
    pending_ = new QTextDocument(&editor_);
    pending_->setDefaultFont(shown.defaultFont());
    pending_->setDefaultTextOption(shown.defaultTextOption());
    pending_->setDocumentMargin(shown.documentMargin());
    pending_->setIndentWidth(shown.indentWidth());
    pending_->setDefaultStyleSheet(shown.defaultStyleSheet());
    // With the editor's page size already set, taking the document over
    // lays out a screen; without, the editor lays it all out at once.
    pending_->setPageSize(shown.pageSize());
    pending_->setUndoRedoEnabled(false);
    text_ = text;
    for (const auto& row : CipherBlocks(text_, RowCharacters(editor_)))
        pieces_.push_back({row.from, row.length, row.continues});
    ShowSlice(kSliceMs);
}

void ResultDisplay::Finish()
{
    if (IsShowing())
        ShowSlice(std::numeric_limits<int>::max());
}

void ResultDisplay::Clear()
{
    timer_->stop();
    delete pending_;
    pending_ = nullptr;
    pieces_.clear();
    next_ = 0;
    shownCharacters_ = 0;
    lastPercent_ = -1;
    text_.clear();
    editor_.clear();
    editor_.document()->setUndoRedoEnabled(true);
}

void ResultDisplay::ShowSlice(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    QTextDocument& document = pending_ ? *pending_ : *editor_.document();
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    QString rows;
    while (next_ < pieces_.size() && clock.elapsed() < budgetMs) {
        const std::size_t first = next_;
        std::size_t end = first;
        rows.clear();
        while (end < pieces_.size() && end - first < kInsertPieces
               && (end == first || rows.size() + pieces_[end].length <= kInsertCharacters)) {
            if (end != 0)
                rows += QChar::ParagraphSeparator;
            rows += QStringView(text_).sliced(pieces_[end].from, pieces_[end].length);
            ++end;
        }
        cursor.insertText(rows);
        shownCharacters_ += rows.size();
        // Mark the new blocks: the first of them is the one the cursor was
        // in when the insertion began (the empty first block for row 0).
        QTextBlock block = document.lastBlock();
        for (std::size_t i = end; i-- > first; block = block.previous())
            block.setUserState(pieces_[i].continues ? EditorText::kContinuation : -1);
        next_ = end;
    }
    if (IsShowing()) {
        const int percent = int(std::min<qsizetype>(99, shownCharacters_ * 100 / std::max<qsizetype>(1, text_.size())));
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            emit Progress(percent);
        }
        timer_->start();
        return;
    }
    timer_->stop();
    text_.clear();
    pieces_.clear();
    next_ = 0;
    document.setUndoRedoEnabled(true);
    if (pending_) {
        // The editor's old document is its child and goes with this.
        editor_.setDocument(std::exchange(pending_, nullptr));
    }
    emit Shown();
}

} // namespace karsidan
