#pragma once

#include "platform/filelayer.h"

// Files through the POSIX calls. Names are converted from UTF-16 to UTF-8, the file
// names' encoding on every current Linux desktop.
class PosixFileLayer final : public FileLayer
{
public:
    Opened<InputFile> openInput(std::u16string_view name) override;
    Opened<OutputFile> openOutput(std::u16string_view name) override;
};
