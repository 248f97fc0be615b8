#pragma once
// Puts a result of any size into an editor without holding the event loop:
// a short one at once, a long one a slice of rows per turn of the loop, so
// the window repaints, scrolls and answers while megabytes of cipher text
// arrive. Readers of the editor call Finish first, so nothing ever reads a
// half-shown result.
#include <QObject>
#include <QString>

#include <vector>

class QTextEdit;
class QTimer;

namespace karsidan {

class ResultDisplay : public QObject {
    Q_OBJECT
public:
    // Texts up to this many characters are shown in one step.
    static constexpr qsizetype kAtOnce = 64 * 1024;
    // Time one slice may take before the loop gets its turn.
    static constexpr int kSliceMs = 8;

    explicit ResultDisplay(QTextEdit& editor, QObject* parent = nullptr);

    // Replaces the editor's content with text ("\n" between lines), long
    // lines as continuation rows, as EditorText::SetPlainText does.
    void Show(const QString& text);
    // Shows the rest now; a no-op when nothing is pending.
    void Finish();
    // Drops what is pending and empties the editor.
    void Clear();
    bool IsShowing() const { return next_ < pieces_.size(); }

signals:
    void Shown();

private:
    struct Piece {
        qsizetype from;
        qsizetype length;
        bool continues; // joined to the row before, no line break
    };
    void ShowSlice(int budgetMs);

    QTextEdit& editor_;
    QTimer* timer_;
    QString text_;
    std::vector<Piece> pieces_;
    std::size_t next_ = 0;
};

} // namespace karsidan
