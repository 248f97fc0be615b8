#pragma once
// Loopback helpers shared by the network tests.

#include "net/Receiver.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace karsidan::net::test {

inline constexpr int kWaitMs = 5000;

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A peer that writes raw bytes, as a hostile or foreign program would.
inline std::unique_ptr<QTcpSocket> ConnectPeer(quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket->waitForConnected(kWaitMs)) << socket->errorString().toStdString();
    return socket;
}

inline void WriteAll(QTcpSocket& socket, const QByteArray& data)
{
    socket.write(data);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kWaitMs))
            break;
}

inline void SendRaw(quint16 port, const QByteArray& data)
{
    auto socket = ConnectPeer(port);
    WriteAll(*socket, data);
    socket->disconnectFromHost();
}

// A receiving copy in its own temporary folder, on a free loopback port.
struct ReceivingCopy {
    QTemporaryDir root;
    QString folder;
    QString savedFileName;
    std::unique_ptr<Receiver> receiver;
    std::unique_ptr<QSignalSpy> stored;
    std::unique_ptr<QSignalSpy> failed;

    ReceivingCopy()
    {
        EXPECT_TRUE(root.isValid());
        // One level down, so a file escaping the folder would show in root.
        QDir(root.path()).mkdir(QStringLiteral("app"));
        folder = root.filePath(QStringLiteral("app"));
        receiver = std::make_unique<Receiver>(folder);
        receiver->SetSavedFileNameSource([this] { return savedFileName; });
        QObject::connect(receiver.get(), &Receiver::FileStored,
                         [this](const QString& name, const QString&) { savedFileName = name; });
        stored = std::make_unique<QSignalSpy>(receiver.get(), &Receiver::FileStored);
        failed = std::make_unique<QSignalSpy>(receiver.get(), &Receiver::ReceiveFailed);
        EXPECT_EQ(receiver->StartListening(0, QHostAddress::LocalHost), QString());
    }

    quint16 Port() const { return receiver->LocalPort(); }
    QString PathOf(const QString& name) const { return QDir(folder).filePath(name); }
    bool WaitStored(int count) { return QTest::qWaitFor([&] { return stored->size() >= count; }, kWaitMs); }
    bool WaitFailed(int count) { return QTest::qWaitFor([&] { return failed->size() >= count; }, kWaitMs); }
};

} // namespace karsidan::net::test
