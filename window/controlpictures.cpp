#include "window/controlpictures.h"

void ControlPictures::apply(std::span<char16_t> text)
{
    // Branch-free, so a whole record of 32 KiB goes through vector instructions.
    for (char16_t &unit : text) {
        const char16_t c = unit;
        unit = c < 0x20 ? static_cast<char16_t>(0x2400 + c) : c == 0x7F ? char16_t{0x2421} : c;
    }
}
