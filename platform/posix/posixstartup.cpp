#include "platform/posix/posixstartup.h"

#include <csignal>
#include <malloc.h>

void PosixStartup::ignoreFileSignals()
{
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
}

void PosixStartup::shareOneHeap()
{
    ::mallopt(M_ARENA_MAX, 1);
}
