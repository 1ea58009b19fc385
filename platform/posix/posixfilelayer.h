#pragma once

#include "platform/filelayer.h"

#include <optional>
#include <string>
#include <vector>

// Files through the POSIX calls. Names are UTF-8, the file names' encoding on every
// current Linux desktop; bytes that are not reach the window and come back through
// FileNameCodec unchanged.
class PosixFileLayer final : public FileLayer
{
public:
    Opened<InputFile> openInput(std::u16string_view name) override;
    Opened<OutputFile> openOutput(std::u16string_view name) override;

    // The names in a folder, decoded as the window holds names; nothing when the folder
    // cannot be read.
    static std::optional<std::vector<std::u16string>> namesIn(std::u16string_view folder);
};
