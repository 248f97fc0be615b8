#include "CryptIo.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string ReadCryptInput(const QString& file)
{
    QFile in;
    bool opened;
    if (file.isEmpty() || file == QLatin1String("-")) {
        opened = in.open(stdin, QIODevice::ReadOnly);
    } else {
        in.setFileName(file);
        opened = in.open(QIODevice::ReadOnly);
    }
    const QString name = file.isEmpty() ? QStringLiteral("masukan standar") : file;
    if (!opened)
        throw CryptIoError(("Tidak dapat membuka " + name + ": " + in.errorString()).toStdString());
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw CryptIoError(("Gagal membaca " + name + ": " + in.errorString()).toStdString());
    return data.toStdString();
}

void WriteCryptOutput(std::string_view bytes)
{
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    if (written != bytes.size() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        throw CryptIoError(std::string("Gagal menulis keluaran")
                           + (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
    }
}
