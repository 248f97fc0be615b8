#include "app/StartupOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace karsidan {

namespace {

// Options QApplication takes for itself; they stay in the arguments for it.
const QStringList kQtFlags = {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"), QStringLiteral("-nograb"),
                              QStringLiteral("-dograb"), QStringLiteral("-sync")};
const QStringList kQtValueOptions = {QStringLiteral("-platform"),
                                     QStringLiteral("-platformpluginpath"),
                                     QStringLiteral("-platformtheme"),
                                     QStringLiteral("-plugin"),
                                     QStringLiteral("-qwindowgeometry"),
                                     QStringLiteral("-geometry"),
                                     QStringLiteral("-qwindowtitle"),
                                     QStringLiteral("-title"),
                                     QStringLiteral("-qwindowicon"),
                                     QStringLiteral("-icon"),
                                     QStringLiteral("-session"),
                                     QStringLiteral("-display"),
                                     QStringLiteral("-name"),
                                     QStringLiteral("-style"),
                                     QStringLiteral("-stylesheet")};

bool IsWritableFolder(const QString& folder)
{
    // Permission bits lie on some file systems; try it.
    if (!QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".karsidan-probe-XXXXXX")));
    return probe.open();
}

// An installed copy (bin/ beside share/ holding its desktop entry) shares
// its folder with every user and every program there, and root could
// write into it: a received name such as "ls" would replace a program.
bool IsInstalledCopy(const QString& programFolder)
{
    return QFileInfo::exists(
        QDir(programFolder).filePath(QStringLiteral("../share/applications/" KARSIDAN_APP_ID ".desktop")));
}

} // namespace

std::optional<StartupOptions> StartupOptions::Parse(const QStringList& arguments, QString& error)
{
    StartupOptions options;
    bool folderSet = false;
    QString portText;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help") || argument == QLatin1String("-?")) {
            options.action = Action::Help;
            return options;
        }
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            options.action = Action::Version;
            continue;
        }
        // Qt's own options, in both spellings Qt takes.
        const QString single = argument.startsWith(QLatin1String("--")) ? argument.mid(1) : argument;
        const QString qtName = single.section(QLatin1Char('='), 0, 0);
        if (kQtFlags.contains(qtName) && !single.contains(QLatin1Char('=')))
            continue;
        if (kQtValueOptions.contains(qtName)) {
            if (!single.contains(QLatin1Char('=')) && ++i >= arguments.size()) {
                error = QStringLiteral("%1 memerlukan nilai").arg(argument);
                return std::nullopt;
            }
            continue;
        }

        QString name = argument;
        std::optional<QString> value;
        if (argument.startsWith(QLatin1String("--")) && argument.contains(QLatin1Char('='))) {
            name = argument.section(QLatin1Char('='), 0, 0);
            value = argument.section(QLatin1Char('='), 1);
        }
        if (name != QLatin1String("--folder") && name != QLatin1String("--port")) {
            error = argument.startsWith(QLatin1Char('-')) ? QStringLiteral("Opsi tidak dikenal: %1").arg(argument)
                                                          : QStringLiteral("Argumen tidak dikenal: %1").arg(argument);
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 memerlukan nilai").arg(name);
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (name == QLatin1String("--folder")) {
            options.folder = *value;
            folderSet = true;
        } else {
            portText = *value;
        }
    }
    if (options.action == Action::Version)
        return options;
    if (folderSet && options.folder.trimmed().isEmpty()) {
        error = QStringLiteral("--folder memerlukan nama folder");
        return std::nullopt;
    }
    if (!portText.isNull()) {
        bool ok = false;
        const int value = portText.toInt(&ok);
        if (!ok || value < 1 || value > 65535) {
            error = QStringLiteral("Port harus bilangan 1 sampai 65535, bukan \"%1\"").arg(portText);
            return std::nullopt;
        }
        options.port = value;
    }
    return options;
}

QString StartupOptions::HelpText()
{
    return QStringLiteral("Pemakaian: karsidan [OPSI]...\n"
                          "\n"
                          "Jendela KARSIDAN: enkripsi teks dengan Triple DES (tiga kunci, EDE, ECB) dan\n"
                          "pengiriman teks sandi ke salinan KARSIDAN lain melalui TCP.\n"
                          "\n"
                          "Opsi:\n"
                          "  -h, --help      menampilkan bantuan ini\n"
                          "  -v, --version   menampilkan versi\n"
                          "  --folder DIR    folder untuk berkas yang diterima\n"
                          "  --port N        port TCP untuk menerima, 1 sampai 65535 (bawaan %1)\n"
                          "\n"
                          "Opsi jendela dari Qt, misalnya -platform NAMA atau -style NAMA, diteruskan\n"
                          "ke Qt.\n"
                          "\n"
                          "Kode keluar: 0 berhasil, 2 opsi salah.\n")
        .arg(net::kDefaultPort);
}

QString StartupOptions::VersionText() { return QStringLiteral("karsidan " KARSIDAN_VERSION "\n"); }

QString StartupOptions::TryHelpText() { return QStringLiteral("Coba \"karsidan --help\".\n"); }

QString StartupOptions::ResolveAppFolder(const QString& requested, const QString& programFolder)
{
    if (!requested.isEmpty()) {
        const QString absolute = QDir(requested).absolutePath();
        QDir().mkpath(absolute);
        return WithTrailingSeparator(absolute);
    }
    if (!IsInstalledCopy(programFolder) && IsWritableFolder(programFolder))
        return WithTrailingSeparator(programFolder);
    const QString data = UserDataFolder();
    QDir().mkpath(data);
    return WithTrailingSeparator(data);
}

QString StartupOptions::UserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString StartupOptions::WithTrailingSeparator(const QString& folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace karsidan
