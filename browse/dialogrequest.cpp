#include "browse/dialogrequest.h"

#include "browse/filedialogcomponent.h"
#include "platform/blanktext.h"

#include <algorithm>

namespace {

bool hasWildcard(std::u16string_view text)
{
    return text.find_first_of(u"*?") != std::u16string_view::npos;
}

// "description|patterns|description|patterns...", each pattern list split on ";".
std::vector<DialogRequest::Filter> filtersOf(std::u16string_view property)
{
    std::vector<DialogRequest::Filter> filters;
    while (!property.empty()) {
        const auto bar = property.find(u'|');
        if (bar == std::u16string_view::npos)
            break; // a description without patterns offers nothing
        const auto description = property.substr(0, bar);
        property.remove_prefix(bar + 1);
        const auto end = std::min(property.find(u'|'), property.size());
        auto patterns = property.substr(0, end);
        property.remove_prefix(std::min(end + 1, property.size()));

        DialogRequest::Filter filter{std::u16string(trimSpaces(description)), {}};
        while (!patterns.empty()) {
            const auto semicolon = std::min(patterns.find(u';'), patterns.size());
            if (const auto pattern = trimSpaces(patterns.substr(0, semicolon)); !pattern.empty())
                filter.patterns.emplace_back(pattern);
            patterns.remove_prefix(std::min(semicolon + 1, patterns.size()));
        }
        if (!filter.patterns.empty())
            filters.push_back(std::move(filter));
    }
    return filters;
}

} // namespace

DialogRequest DialogRequest::from(std::u16string_view fileNameProperty, std::u16string_view filterProperty,
                                  std::int16_t action, const std::function<bool(std::u16string_view)> &isFolder)
{
    const auto separator = fileNameProperty.find_last_of(u"\\/");
    const auto folder = separator == std::u16string_view::npos ? std::u16string_view()
                                                               : fileNameProperty.substr(0, separator + 1);
    const auto last = fileNameProperty.substr(folder.size());

    DialogRequest request;
    request.kind = action == FileDialogComponent::ShowSave ? Kind::Save : Kind::Open;
    if (!folder.empty() && isFolder(folder))
        request.folder = folder;
    std::vector<Filter> given = filtersOf(filterProperty);
    if (hasWildcard(last))
        request.filters.push_back({std::u16string(last), {std::u16string(last)}});
    else
        request.fileName = last;
    given.push_back({std::u16string(AllFiles), {std::u16string(AllFilesPattern)}});
    // A pattern of its own leads, unless the filter already offers exactly it.
    for (Filter &filter : given) {
        const bool offered = std::any_of(request.filters.begin(), request.filters.end(), [&](const Filter &f) {
            return f.patterns == filter.patterns;
        });
        if (!offered)
            request.filters.push_back(std::move(filter));
    }
    return request;
}
