#include "Commands.h"

#include <QTextStream>

// Placeholder until the network commands land.
int RunSend(const QStringList&) { QTextStream(stderr) << "send: belum tersedia\n"; return 1; }
int RunReceive(const QStringList&) { QTextStream(stderr) << "receive: belum tersedia\n"; return 1; }
