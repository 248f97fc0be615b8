#pragma once
// Sub-commands of karsidan-cli. Each gets the arguments after the program
// name (args[0] is the sub-command) and returns the process exit code:
// 0 success, 1 I/O or connection failure, 2 bad input.

#include <QStringList>

int RunEncrypt(const QStringList& args);
int RunDecrypt(const QStringList& args);
int RunSend(const QStringList& args);
int RunReceive(const QStringList& args);
