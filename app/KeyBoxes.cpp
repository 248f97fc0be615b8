#include "app/KeyBoxes.h"

#include "app/AppArtwork.h"

#include <QAction>
#include <QLineEdit>
#include <QValidator>

#include <functional>

namespace karsidan {

namespace {

// Refuses any edit that would leave more than a key's characters; the line
// edit then keeps the text it had. The box's own length limit would cut a
// paste instead, so the box takes more and this decides.
class KeyLengthValidator : public QValidator {
public:
    KeyLengthValidator(std::function<void()> refused, QObject* parent)
        : QValidator(parent), refused_(std::move(refused))
    { }

    State validate(QString& input, int&) const override
    {
        if (input.size() <= KeyBoxes::kKeyLength)
            return Acceptable;
        refused_();
        return Invalid;
    }

private:
    std::function<void()> refused_;
};

// Room for a paste to reach the validator whole.
constexpr int kPasteRoom = 4096;

} // namespace

KeyBoxes::KeyBoxes(const std::array<QLineEdit*, 3>& boxes, QObject* parent) : QObject(parent), boxes_(boxes)
{
    for (int i = 0; i < 3; ++i) {
        QLineEdit* box = boxes_[i];
        box->setMaxLength(kPasteRoom);
        box->setValidator(new KeyLengthValidator([this, i] { emit Refused(i + 1); }, box));
        QAction* toggle = box->addAction(KeyShownIcon(), QLineEdit::TrailingPosition);
        toggle->setObjectName(QStringLiteral("cmdShowKey%1").arg(i));
        toggle->setCheckable(true);
        toggle->setChecked(true);
        connect(toggle, &QAction::toggled, this, [this, i](bool shown) { SetShown(i, shown); });
        toggles_[i] = toggle;
        SetShown(i, true);
    }
}

QString KeyBoxes::TooLongText(int box)
{
    return QStringLiteral("Kunci %1: paling banyak 8 karakter; teks yang lebih panjang tidak dimasukkan.").arg(box);
}

void KeyBoxes::SetShown(int index, bool shown)
{
    boxes_[index]->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    QAction* toggle = toggles_[index];
    toggle->setIcon(shown ? KeyShownIcon() : KeyHiddenIcon());
    toggle->setToolTip(shown ? QStringLiteral("Sembunyikan kunci") : QStringLiteral("Tampilkan kunci"));
}

} // namespace karsidan
