#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What a file dialog is asked, derived once from the dialog component's two properties
// and shown by each platform's own dialog. The file-name property's folder is where
// the dialog starts; its last part is either a wildcard pattern, offered as the first
// filter, or a name to propose. The filter property's "description|patterns" pairs
// follow (patterns separated by ";"), then every file, so any page or report can be
// picked. Names are Windows names by heritage ("C:\VB5\SITEDOCS\*.HTM"), so "\" ends a
// folder on every platform, as "/" does.
struct DialogRequest
{
    struct Filter
    {
        std::u16string description;
        std::vector<std::u16string> patterns;

        friend bool operator==(const Filter &, const Filter &) = default;
    };

    static constexpr std::u16string_view AllFiles = u"Tutti i file (*.*)";
    static constexpr std::u16string_view AllFilesPattern = u"*.*";

    // The folder to start in, as written, up to and including its last separator;
    // empty when the name has none or the folder does not exist: the current folder.
    std::u16string folder;
    // The name proposed in the dialog; empty for none.
    std::u16string fileName;
    // The first is selected; the last offers every file.
    std::vector<Filter> filters;
    // Open: an existing file is picked or a new name typed, without a question. Save:
    // the file is to be written, so the dialog asks before it names one that exists.
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;

    // `action` is the dialog component's ShowOperation argument; `isFolder` asks the
    // platform whether a folder of that name exists.
    static DialogRequest from(std::u16string_view fileNameProperty, std::u16string_view filterProperty,
                              std::int16_t action, const std::function<bool(std::u16string_view)> &isFolder);
};
