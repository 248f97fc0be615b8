#include "Commands.h"

#include <QTextStream>

// Placeholder until the engine commands land.
int RunEncrypt(const QStringList&) { QTextStream(stderr) << "encrypt: belum tersedia\n"; return 1; }
int RunDecrypt(const QStringList&) { QTextStream(stderr) << "decrypt: belum tersedia\n"; return 1; }
