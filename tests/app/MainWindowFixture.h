#pragma once
#include "app/frmMain.h"
#include "app/mdlGlobal.h"
#include "tests/app/TestDoubles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace karsidan::test {

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        mdlGlobal::AppFolder = folder.path() + QLatin1Char('/');
        mdlGlobal::SavedFileName.clear();
        // An ephemeral port, so windows of parallel tests never collide.
        mdlGlobal::CurrentPort = 0;
        // The character is a window of its own that would take part in focus
        // tests; the tests that are about it switch it back on.
        qputenv("KARSIDAN_NO_ASSISTANT", WithAssistant() ? "0" : "1");
        window = std::make_unique<frmMain>(MakeServices());
    }

    void TearDown() override
    {
        cipher.Open();
        WaitUntil([this] { return !window->IsBusy(); });
        window.reset();
        mdlGlobal::SavedFileName.clear();
    }

    virtual MainServices MakeServices()
    {
        // No fade: a close ends the window at the next turn of the event loop.
        return MainServices{cipher.Function(), &dialog, &messages, 0};
    }
    virtual bool WithAssistant() const { return false; }

    template <typename T>
    T* Find(const char* name) const
    {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    QTextEdit* Source() const { return Find<QTextEdit>("rtbSource"); }
    QTextEdit* Target() const { return Find<QTextEdit>("rtbTarget"); }
    QLineEdit* Key(int i) const { return Find<QLineEdit>(i == 0 ? "txtKey0" : i == 1 ? "txtKey1" : "txtKey2"); }
    void SetKeys(const QString& a, const QString& b, const QString& c) const
    {
        Key(0)->setText(a);
        Key(1)->setText(b);
        Key(2)->setText(c);
    }
    void Click(const char* button) const { Find<QPushButton>(button)->click(); }
    void Trigger(const char* action) const { Find<QAction>(action)->trigger(); }
    bool WaitIdle() const
    {
        return WaitUntil([this] { return !window->IsBusy(); });
    }

    QString PathOf(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QByteArray ReadBytes(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    void WriteBytes(const QString& path, const QByteArray& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir folder;
    FakeFileDialog dialog;
    RecordingMessages messages;
    ScriptedCipher cipher;
    std::unique_ptr<frmMain> window;
};

} // namespace karsidan::test
