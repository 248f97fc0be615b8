#pragma once
// send and receive, run by the helper karsidan-cli-net over the window's
// network library. Each gets the arguments after the program name (args[0]
// is the sub-command) and returns the exit code: 0 success, 1 I/O or
// connection failure, 2 bad input.

#include <QStringList>

int RunSend(const QStringList& args);
int RunReceive(const QStringList& args);
