#pragma once

#include "platform/failure.h"

// The failure a Windows error code (GetLastError()) stands for: the same number and
// description the Linux layer gives for the same condition. Codes with no closer
// meaning are device I/O errors.
Failure failureFromLastError(unsigned long code);
