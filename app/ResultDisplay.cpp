#include "app/ResultDisplay.h"

#include "app/EditorText.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace karsidan {

namespace {

// Rows handed to the document in one insertion: enough to amortise the
// call, few enough to check the clock often.
constexpr std::size_t kRowsPerInsert = 16;

} // namespace

ResultDisplay::ResultDisplay(QTextEdit& editor, QObject* parent)
    : QObject(parent), editor_(editor), timer_(new QTimer(this))
{
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, [this] { ShowSlice(kSliceMs); });
}

void ResultDisplay::Show(const QString& text)
{
    Clear();
    if (text.size() <= kAtOnce) {
        EditorText::SetPlainText(editor_, text);
        emit Shown();
        return;
    }
    text_ = text;
    const qsizetype rowLength = std::max<qsizetype>(EditorText::RowLength(editor_), 16);
    for (const auto& row : EditorText::SplitRows(text_, rowLength))
        pieces_.push_back({row.from, row.length, row.continues});
    // Each row's insertion would otherwise be an undo step of its own.
    editor_.document()->setUndoRedoEnabled(false);
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
    pieces_.clear();
    next_ = 0;
    text_.clear();
    editor_.clear();
    editor_.document()->setUndoRedoEnabled(true);
}

void ResultDisplay::ShowSlice(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    QTextDocument& document = *editor_.document();
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    QString rows;
    while (next_ < pieces_.size() && clock.elapsed() < budgetMs) {
        const std::size_t first = next_;
        const std::size_t end = std::min(pieces_.size(), next_ + kRowsPerInsert);
        rows.clear();
        for (std::size_t i = first; i < end; ++i) {
            if (i != 0)
                rows += QChar::ParagraphSeparator;
            rows += QStringView(text_).sliced(pieces_[i].from, pieces_[i].length);
        }
        cursor.insertText(rows);
        // Mark the new blocks: the first of them is the one the cursor was
        // in when the insertion began (the empty first block for row 0).
        QTextBlock block = document.lastBlock();
        for (std::size_t i = end; i-- > first; block = block.previous())
            block.setUserState(pieces_[i].continues ? EditorText::kContinuation : -1);
        next_ = end;
    }
    if (IsShowing()) {
        timer_->start();
        return;
    }
    timer_->stop();
    text_.clear();
    pieces_.clear();
    next_ = 0;
    document.setUndoRedoEnabled(true);
    emit Shown();
}

} // namespace karsidan
