#include "app/StartupOptions.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace karsidan {

namespace {

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
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KARSIDAN: enkripsi teks dengan Triple DES"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("Folder untuk berkas yang diterima."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port TCP untuk menerima (bawaan %1).").arg(net::kDefaultPort),
                                  QStringLiteral("N"));
    parser.addOption(folder);
    parser.addOption(port);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))) {
        if (parser.isSet(QStringLiteral("help")))
            parser.showHelp(0);
        parser.showVersion();
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("Argumen tidak dikenal: %1").arg(parser.positionalArguments().join(' '));
        return std::nullopt;
    }

    StartupOptions options;
    if (parser.isSet(folder)) {
        options.folder = parser.value(folder);
        if (options.folder.trimmed().isEmpty()) {
            error = QStringLiteral("--folder memerlukan nama folder");
            return std::nullopt;
        }
    }
    if (parser.isSet(port)) {
        bool ok = false;
        const int value = parser.value(port).toInt(&ok);
        if (!ok || value < 1 || value > 65535) {
            error = QStringLiteral("Port harus bilangan 1 sampai 65535, bukan \"%1\"").arg(parser.value(port));
            return std::nullopt;
        }
        options.port = value;
    }
    return options;
}

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
