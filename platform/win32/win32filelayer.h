#pragma once

#include "platform/filelayer.h"

// Files through the wide-character Win32 API, named exactly as typed. Only a disk file
// or NUL is opened; a folder, a pipe, the console, a port or any other device is
// refused with PathFileAccessError, most of them before anything is opened.
class Win32FileLayer final : public FileLayer
{
public:
    Opened<InputFile> openInput(std::u16string_view name) override;
    Opened<OutputFile> openOutput(std::u16string_view name) override;
};
