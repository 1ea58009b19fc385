#pragma once

// The signals a file operation can raise.
struct PosixSignals
{
    // A report past the process's file-size limit, a standard error that is such a file,
    // or a pipe that lost its reader would end the program with a signal and no word;
    // ignored, they come back from write() as EFBIG and EPIPE, which are reported. The
    // program calls this before anything else; calling it again does nothing.
    static void ignoreFileSignals();
};
