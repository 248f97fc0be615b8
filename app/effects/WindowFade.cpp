#include "app/effects/WindowFade.h"

#include <QGuiApplication>
#include <QTimer>
#include <QVariantAnimation>
#include <algorithm>

WindowFade::WindowFade(QWidget* window, int durationMs)
    : QObject(window), window_(window), durationMs_(std::max(0, durationMs)), mode_(ModeForPlatform())
{
    setObjectName(QStringLiteral("windowFade"));
}

WindowFade::Mode WindowFade::ModeForPlatform()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")
        || platform.startsWith(QLatin1String("wayland")))
        return Mode::WaitOnly;
    return Mode::Blend;
}

void WindowFade::Start()
{
    if (running_ || finished_)
        return;
    running_ = true;
    if (mode_ == Mode::WaitOnly || !window_) {
        // Precise: a coarse timer may fire up to 5 % early.
        QTimer::singleShot(durationMs_, Qt::PreciseTimer, this, &WindowFade::Finish);
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(1.0);
    animation->setEndValue(0.0);
    animation->setDuration(durationMs_);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double opacity = value.toDouble();
        if (window_)
            window_->setWindowOpacity(opacity);
        emit OpacityChanged(opacity);
    });
    connect(animation, &QVariantAnimation::finished, this, &WindowFade::Finish);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void WindowFade::Finish()
{
    running_ = false;
    finished_ = true;
    // The window is left to its owner to close: hiding it here would make
    // the later close() skip the "last window closed" that ends the program.
    emit Finished();
}
