#pragma once

#include <cstdint>
#include <string>

// A failure of a file or arithmetic operation, as the user sees it: a number and an
// Italian description. The numbers follow the classic run-time numbering so that they
// stay stable and recognisable; the window turns a Failure into a message in one place.
struct Failure
{
    enum Number : std::int16_t {
        Overflow = 6,
        OutOfMemory = 7,
        BadFileName = 52,
        FileNotFound = 53,
        FileAlreadyOpen = 55,
        DeviceIoError = 57,
        DiskFull = 61,
        InputPastEnd = 62,
        TooManyFiles = 67,
        PermissionDenied = 70,
        PathFileAccessError = 75,
        PathNotFound = 76,
        ComponentError = 440,
    };

    std::int16_t number = 0;
    std::string description;

    static Failure of(Number number);

    // Maps an errno value from opening, reading or writing a file. `path` is the name
    // that was opened, used only to tell a missing file from a missing folder.
    static Failure fromErrno(int error, const std::string &path = {});

    friend bool operator==(const Failure &, const Failure &) = default;
};
