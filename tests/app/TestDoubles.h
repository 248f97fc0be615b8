#pragma once
// Stand-ins for the modal dialogs and the engine, so the window can be
// driven without a user.
#include "app/CipherRequest.h"
#include "app/dialogs/FileDialog.h"
#include "app/dialogs/MessageBoxHook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace karsidan::test {

class FakeFileDialog : public FileDialog {
public:
    std::deque<QString> answers; // a null string or nothing left: Cancel
    std::vector<Request> requests;

protected:
    std::optional<QString> Ask(QWidget*, const Request& request) override
    {
        requests.push_back(request);
        if (answers.empty())
            return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isNull())
            return std::nullopt;
        return answer;
    }
};

class RecordingMessages : public MessageBoxHook {
public:
    struct Message {
        QString title;
        QString text;
    };
    std::vector<Message> warnings;
    std::vector<Message> abouts;

    void Warn(QWidget* parent, const QString& text) override
    {
        warnings.push_back({parent ? parent->window()->windowTitle() : QString(), text});
    }
    void About(QWidget*, const QString& title, const QString& text) override { abouts.push_back({title, text}); }
};

// A stand-in engine: "encrypt" gives the upper-case hex of the text,
// "decrypt" turns hex back into bytes. It records each request, can be held
// at a gate to keep the window busy, and can be told to fail.
class ScriptedCipher {
public:
    CipherFunction Function()
    {
        return [this](const CipherRequest& request, const CipherProgress& progress) {
            std::unique_lock lock(mutex_);
            requests_.push_back(request);
            gateChanged_.wait(lock, [this] { return open_; });
            if (!failure_.empty())
                throw std::invalid_argument(failure_);
            lock.unlock();
            progress(1, 2);
            progress(2, 2);
            return request.direction == CipherDirection::Encrypt ? ToHex(request.text) : FromHex(request.text);
        };
    }

    void Close()
    {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    void Open()
    {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        gateChanged_.notify_all();
    }
    void FailWith(std::string message)
    {
        std::lock_guard lock(mutex_);
        failure_ = std::move(message);
    }
    std::vector<CipherRequest> Requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    static std::string ToHex(const std::string& bytes)
    {
        static const char digits[] = "0123456789ABCDEF";
        std::string hex;
        for (unsigned char b : bytes) {
            hex += digits[b >> 4];
            hex += digits[b & 15];
        }
        return hex;
    }
    static std::string FromHex(const std::string& hex)
    {
        std::string bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        return bytes;
    }

private:
    std::mutex mutex_;
    std::condition_variable gateChanged_;
    bool open_ = true;
    std::string failure_;
    std::vector<CipherRequest> requests_;
};

// Runs the event loop until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace karsidan::test
