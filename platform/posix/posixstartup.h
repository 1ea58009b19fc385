#pragma once

// What the program sets up before anything else runs.
struct PosixStartup
{
    // A report past the process's file-size limit, a standard error that is such a file,
    // or a pipe that lost its reader would end the program with a signal and no word;
    // ignored, they come back from write() as EFBIG and EPIPE, which are reported. The
    // file layer calls it too; calling it again does nothing.
    static void ignoreFileSignals();
    // Every thread allocates from the one heap. glibc gives each thread that allocates
    // a heap of its own and sets 64 MiB of address space aside for it: under `ulimit -v`
    // two of the toolkit's threads took 128 MiB that way, more than the whole window
    // needs, and left the list no room for its reserve. Called before any thread starts.
    static void shareOneHeap();
};
