#pragma once
// The key boxes beyond a plain line edit. Typing stops at the key length as
// ever, but a paste or drop longer than a key is refused whole: a key cut
// to its first characters is not the key the user meant, and the command
// line would refuse the whole one. Each box also gets a button that hides
// or shows its key; keys are shown at first.
#include <QObject>
#include <QString>

#include <array>

class QLineEdit;
class QToolButton;

namespace karsidan {

class KeyBoxes : public QObject {
    Q_OBJECT
public:
    static constexpr int kKeyLength = 8;

    // Sets up the three boxes; the toggles are named cmdShowKey0 to 2.
    KeyBoxes(const std::array<QLineEdit*, 3>& boxes, QObject* parent);

    // The hint for a refused paste or drop, naming the box (1 to 3).
    static QString TooLongText(int box);

    QToolButton* Toggle(int index) const { return toggles_[index]; }

signals:
    // Text longer than a key was refused in box (1 to 3).
    void Refused(int box);

private:
    void SetShown(int index, bool shown);

    std::array<QLineEdit*, 3> boxes_;
    std::array<QToolButton*, 3> toggles_{};
};

} // namespace karsidan
