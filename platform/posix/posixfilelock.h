#pragma once

// Open file description locks over a whole file, so that two scans, in one program or
// two, never share a file the wrong way: a scan holds its report exclusively and the
// page it reads shared. Such a lock belongs to the open file, not to the process, and
// goes with its last descriptor. Never waits: a lock another holds is refused at once.
struct PosixFileLock
{
    enum class Outcome {
        Held,        // this open file holds it now
        HeldByOther, // another open file holds a lock that excludes it
        Unsupported, // the file system keeps no such locks (some network ones)
    };

    static Outcome exclusive(int fd);
    static Outcome shared(int fd);
};
