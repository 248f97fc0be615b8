#pragma once
// The command line: --folder DIR and --port N, so that two copies can run
// on one machine. Nothing else is configurable.
#include "net/MessageFormat.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace karsidan {

struct StartupOptions {
    QString folder; // empty: the default folder rule
    qint32 port = net::kDefaultPort;

    // Parses the arguments (the program name first). On failure returns
    // nothing and sets error to a message for the user.
    static std::optional<StartupOptions> Parse(const QStringList& arguments, QString& error);

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
