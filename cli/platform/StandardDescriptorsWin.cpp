#include "cli/StandardDescriptors.h"

#include <fcntl.h>
#include <io.h>

const char kNullDevice[] = "NUL";

bool GuardStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        const intptr_t handle = ::_get_osfhandle(fd);
        if (handle == -1 || handle == -2) {
            // Standard error may go nowhere; the exit code still tells.
            const int flags = (fd == 1 ? _O_RDONLY : _O_WRONLY) | _O_BINARY | _O_NOINHERIT;
            const int opened = ::_wopen(L"NUL", flags);
            if (opened < 0)
                return false;
            if (opened != fd) {
                const bool moved = ::_dup2(opened, fd) == 0;
                ::_close(opened);
                if (!moved)
                    return false;
            }
        }
        // Text mode would turn LF into CR LF on the way out and end the
        // input at the first Ctrl-Z.
        ::_setmode(fd, _O_BINARY);
    }
    return true;
}
