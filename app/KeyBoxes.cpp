#include "app/KeyBoxes.h"

#include "app/AppArtwork.h"

#include <QLineEdit>
#include <QToolButton>
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
// The toggle sits inside the box's right edge; eight characters of the
// key font still fit beside it.
constexpr int kToggleWidth = 12;

} // namespace

KeyBoxes::KeyBoxes(const std::array<QLineEdit*, 3>& boxes, QObject* parent) : QObject(parent), boxes_(boxes)
{
    for (int i = 0; i < 3; ++i) {
        QLineEdit* box = boxes_[i];
        box->setMaxLength(kPasteRoom);
        box->setValidator(new KeyLengthValidator([this, i] { emit Refused(i + 1); }, box));
        auto* toggle = new QToolButton(box);
        toggle->setObjectName(QStringLiteral("cmdShowKey%1").arg(i));
        toggle->setCheckable(true);
        toggle->setChecked(true);
        toggle->setAutoRaise(true);
        toggle->setFocusPolicy(Qt::NoFocus);
        toggle->setCursor(Qt::ArrowCursor);
        toggle->setIconSize(QSize(kToggleWidth - 2, kToggleWidth - 2));
        toggle->setGeometry(box->width() - kToggleWidth - 2, 2, kToggleWidth, box->height() - 4);
        box->setTextMargins(0, 0, kToggleWidth, 0);
        connect(toggle, &QToolButton::toggled, this, [this, i](bool shown) { SetShown(i, shown); });
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
    QToolButton* toggle = toggles_[index];
    toggle->setIcon(shown ? KeyShownIcon() : KeyHiddenIcon());
    toggle->setToolTip(shown ? QStringLiteral("Sembunyikan kunci") : QStringLiteral("Tampilkan kunci"));
}

} // namespace karsidan
