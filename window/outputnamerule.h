#pragma once

#include <optional>
#include <string>
#include <string_view>

// Proposes the report's name from the page's name: the name up to the second character
// after its first ".", then "3" (page.htm gives page.ht3). The first "." decides, even
// inside a folder name; a name without "." is proposed as it is.
struct OutputNameRule
{
    // The new text for the output field, or nothing when the field keeps its text: the
    // input is blank, or the output field already holds a name.
    static std::optional<std::u16string> propose(std::u16string_view input, std::u16string_view output);
};
