#pragma once
// The command line: --folder DIR and --port N, so that two copies can run
// on one machine, and --help and --version. Nothing else is configurable.
// Parsed before Qt starts, so help, version and a bad option need no
// display; Qt's own window options (-platform, -style, ...) are left for
// Qt.
#include "net/MessageFormat.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace karsidan {

struct StartupOptions {
    enum class Action { Run, Help, Version };

    Action action = Action::Run;
    QString folder; // empty: the default folder rule
    qint32 port = net::kDefaultPort;

    // Parses the arguments (the program name first). On failure returns
    // nothing and sets error to a message for the user.
    static std::optional<StartupOptions> Parse(const QStringList& arguments, QString& error);

    // What --help and --version print, and the hint after a bad option.
    static QString HelpText();
    static QString VersionText();
    static QString TryHelpText();

    // The folder for received files, ending in "/": the given folder when
    // there is one (created when missing), else the program's folder when it
    // is writable and not an installed copy's (bin/ with the desktop entry in
    // ../share/applications), else the per-user data folder (created when
    // missing).
    static QString ResolveAppFolder(const QString& requested, const QString& programFolder);

    // The per-user data folder (~/.local/share/karsidan on Linux), which
    // takes received files when the program's folder is not writable.
    static QString UserDataFolder();

    // Appends the separator unless the folder already ends in one.
    static QString WithTrailingSeparator(const QString& folder);
};

} // namespace karsidan
