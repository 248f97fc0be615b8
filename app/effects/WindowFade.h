#pragma once
// Fades a top-level window out without blocking: the event loop keeps
// running (sockets, the assistant) while the window fades. Finished() comes
// once, when the time is up; the owner then closes the window, which by then
// is fully transparent (or, where the platform cannot blend, still opaque).

#include <QObject>
#include <QPointer>
#include <QWidget>

class QVariantAnimation;

class WindowFade : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultDurationMs = 3000;

    enum class Mode {
        Blend, // opacity runs from 1 to 0 over the duration
        WaitOnly, // the platform cannot blend: the duration passes all the same
    };

    // The fade belongs to `window` and goes with it.
    explicit WindowFade(QWidget* window, int durationMs = kDefaultDurationMs);

    // Blend where the windowing system honours window opacity; WaitOnly on
    // offscreen, minimal and Wayland platforms, which ignore it.
    static Mode ModeForPlatform();

    Mode GetMode() const { return mode_; }
    void SetMode(Mode mode) { mode_ = mode; }
    int DurationMs() const { return durationMs_; }

    // Starts once; later calls while running or after the end are ignored.
    void Start();
    bool IsRunning() const { return running_; }
    bool IsFinished() const { return finished_; }

signals:
    void OpacityChanged(double opacity);
    void Finished();

private:
    void Finish();

    QPointer<QWidget> window_;
    int durationMs_;
    Mode mode_;
    bool running_ = false;
    bool finished_ = false;
};
