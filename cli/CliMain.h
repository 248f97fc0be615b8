#pragma once
// The whole of karsidan-cli behind main: argv in UTF-8 on every system.
// platform/MainPosix.cpp passes main's own; platform/MainWin.cpp is a wmain
// that converts the wide arguments, since the narrow ones arrive in the
// ANSI code page and lose what it cannot hold ("café" under code page 437).
int CliMain(int argc, char** argv);
