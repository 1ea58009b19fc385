#pragma once

#include "platform/failure.h"

#include <string>

// The errno values of opening, reading and writing files, as the user's failures.
struct PosixFailure
{
    // `path` is the name that was opened, used only to tell a missing file from a
    // missing folder.
    static Failure fromErrno(int error, const std::string &path = {});
};
