#pragma once

#include "platform/bytesource.h"
#include "platform/fileidentity.h"

// A page opened for reading. Reads never block: the file layer only opens what can be
// read without waiting. Closed when destroyed; closing a file that was only read loses
// nothing, so it reports no failure.
class InputFile : public ByteSource
{
public:
    virtual FileIdentity identity() const = 0;
};
