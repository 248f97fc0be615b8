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
    // Read straight into the string: no second copy of a large input.
    constexpr std::size_t kChunk = 1 << 20;
    std::string data;
    if (!in.isSequential() && in.size() > 0)
        data.reserve(std::size_t(in.size()) + kChunk);
    for (;;) {
        const std::size_t used = data.size();
        data.resize(used + kChunk);
        const qint64 got = in.read(data.data() + used, qint64(kChunk));
        if (got < 0)
            throw CryptIoError(("Gagal membaca " + name + ": " + in.errorString()).toStdString());
        data.resize(used + std::size_t(got));
        if (got == 0)
            break;  // reads block, so nothing more means the end
    }
    return data;
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
