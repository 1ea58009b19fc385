#include "platform/posix/posixsignals.h"

#include <csignal>

void PosixSignals::ignoreFileSignals()
{
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
}
