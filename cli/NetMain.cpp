// karsidan-cli-net: the sub-commands of karsidan-cli that need Qt's
// network code, started by karsidan-cli in place of itself.
#include "cli/NetCommands.h"
#include "cli/StandardDescriptors.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    // karsidan-cli has done this already; a direct start gets it too.
    if (!GuardStandardDescriptors())
        return 1;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("karsidan-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KARSIDAN_VERSION));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString command = args.value(0);
    if (command == QLatin1String("send"))
        return RunSend(args);
    if (command == QLatin1String("receive"))
        return RunReceive(args);
    QTextStream(stderr) << "karsidan-cli-net: perintah tidak dikenal: " << command
                        << "\nPemakaian: karsidan-cli send|receive [OPSI]... (lihat karsidan-cli --help)\n";
    return 2;
}
