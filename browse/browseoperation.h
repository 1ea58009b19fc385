#pragma once

#include "platform/failure.h"

#include <optional>
#include <string>
#include <string_view>

class FileDialogComponent;

// Prepares the file dialog from a name field's text, shows it and gives back the name
// to put into the field. The window sets the field; the input browse then proposes the
// output name.
struct BrowseOperation
{
    struct Outcome
    {
        std::optional<std::u16string> fieldText; // nothing: the field stays as it is
        std::optional<Failure> failure;
    };

    static constexpr std::u16string_view Pattern = u"*.HTM";
    static constexpr std::u16string_view Filter = u"*.HTM |*.HTM";

    // What the name is for: a page is picked in an open dialog; a report is named in a
    // save dialog, which asks before it names an existing file, as the scan empties it.
    enum class Purpose { Page, Report };

    static Outcome run(FileDialogComponent &dialog, std::u16string_view field, Purpose purpose = Purpose::Page);

    // The name up to and including its last folder separator, "\" or "/"; empty when
    // there is none. Nothing when a separator lies beyond the 16-bit count.
    static std::optional<std::u16string_view> directoryPart(std::u16string_view name);

    static std::string BrowseErrorMessage(const Failure &failure);
};
