#pragma once
// Puts a result of any size into an editor without holding the event loop:
// a short one at once, a long one a slice per turn of the loop, so the
// window repaints, scrolls and answers while megabytes arrive. Readers of
// the editor call Finish first, so nothing ever reads a half-shown result.
//
// The editor's cost is per block: a block per visual row takes seconds for
// megabytes. A cipher text therefore wraps anywhere (it has no words) and
// its one line goes in as blocks of many whole rows each.
#include <QObject>
#include <QString>

#include <vector>

class QTextDocument;
class QTextEdit;
class QTimer;

namespace karsidan {

class ResultDisplay : public QObject {
    Q_OBJECT
public:
    enum class Shape {
        Text, // words: wrapped at blanks, long lines cut into rows
        CipherText, // hex digits: wrapped anywhere, long lines in blocks of rows
    };

    // Texts up to this many characters are shown in one step.
    static constexpr qsizetype kAtOnce = 64 * 1024;
    // Time one slice may take before the loop gets its turn.
    static constexpr int kSliceMs = 8;
    // Characters handed to the document in one insertion: enough to
    // amortise the call, few enough to check the clock often.
    static constexpr qsizetype kInsertCharacters = 16 * 1024;
    static constexpr std::size_t kInsertPieces = 16;

    explicit ResultDisplay(QTextEdit& editor, QObject* parent = nullptr);

    // Replaces the editor's content with text ("\n" between lines).
    void Show(const QString& text, Shape shape = Shape::Text);
    // Shows the rest now; a no-op when nothing is pending.
    void Finish();
    // Drops what is pending and empties the editor.
    void Clear();
    bool IsShowing() const { return next_ < pieces_.size(); }

    // Characters of one visual row when the editor wraps anywhere.
    static qsizetype RowCharacters(const QTextEdit& editor);

signals:
    // Part of a long result shown so far, 0 to 99; then Shown.
    void Progress(int percent);
    void Shown();

private:
    struct Piece {
        qsizetype from;
        qsizetype length;
        bool continues; // joined to the row before, no line break
    };
    void SetShape(Shape shape);
    void ShowSlice(int budgetMs);
    void ShowBlocksOfRows(const QString& text);

    QTextEdit& editor_;
    QTimer* timer_;
    QTextDocument* pending_ = nullptr; // filled before it is shown
    QString text_;
    std::vector<Piece> pieces_;
    std::size_t next_ = 0;
    qsizetype shownCharacters_ = 0;
    int lastPercent_ = -1;
};

} // namespace karsidan
