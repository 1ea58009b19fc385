#pragma once

#include "platform/failure.h"

#include <memory>
#include <optional>
#include <string_view>

class InputFile;
class OutputFile;

// The files a scan reads and writes, named as the user typed them (UTF-16). Each
// platform has its own layer; tests put in layers that fail on purpose.
//
// Only what can be read or written without waiting is opened: a regular file, or a
// device that is ready at once and never makes a read or a write wait (on Linux
// /dev/null, /dev/zero, /dev/urandom, /dev/full; on Windows NUL). A folder, a pipe, a
// socket, a terminal or a console is refused with PathFileAccessError, so the window
// never freezes on a name.
class FileLayer
{
public:
    template <typename File>
    struct Opened
    {
        std::unique_ptr<File> file; // null when `failure` is set
        std::optional<Failure> failure;
    };

    virtual ~FileLayer() = default;

    virtual Opened<InputFile> openInput(std::u16string_view name) = 0;
    // Creates the file when it does not exist; never empties one that does.
    virtual Opened<OutputFile> openOutput(std::u16string_view name) = 0;

    // The layer of the platform the program was built for.
    static FileLayer &system();
};
