#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A failure of a file or arithmetic operation, as the user sees it: a number and an
// Italian description. The numbers follow the classic run-time numbering so that they
// stay stable and recognisable; the window turns a Failure into a message in one place.
// Each platform's file layer maps its own error codes onto these, in one table.
struct Failure
{
    enum Number : std::int16_t {
        Overflow = 6,
        OutOfMemory = 7,
        BadFileName = 52,
        FileNotFound = 53,
        FileAlreadyOpen = 55,
        DeviceIoError = 57,
        FileTooLarge = 60,
        DiskFull = 61,
        InputPastEnd = 62,
        TooManyFiles = 67,
        DeviceUnavailable = 68,
        PermissionDenied = 70,
        PathFileAccessError = 75,
        PathNotFound = 76,
        ComponentError = 440,
    };

    std::int16_t number = 0;
    std::string description;

    static Failure of(Number number);

    // `prefix`, the number written as the report writes a line number, " - ", the
    // description: the text of every failure's message box.
    std::string message(std::string_view prefix) const;

    friend bool operator==(const Failure &, const Failure &) = default;
};
