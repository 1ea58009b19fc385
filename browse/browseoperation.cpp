#include "browse/browseoperation.h"

#include "browse/filedialogcomponent.h"
#include "platform/blanktext.h"
#include "platform/sixteenbit.h"

#include <cstdint>
#include <exception>

std::optional<std::u16string_view> BrowseOperation::directoryPart(std::u16string_view name)
{
    // Walks the separators one piece at a time, adding each piece's length to a 16-bit
    // total, so a separator past position 32,767 overflows like any 16-bit count.
    std::int16_t total = 0;
    std::u16string_view remainder = name;
    std::u16string_view lastPiece;
    for (auto at = remainder.find_first_of(u"\\/"); at != std::u16string_view::npos;
         at = remainder.find_first_of(u"\\/")) {
        const std::size_t length = at + 1;
        if (length > static_cast<std::size_t>(SixteenBitLimit - total))
            return std::nullopt;
        lastPiece = remainder.substr(0, length);
        remainder.remove_prefix(length);
        total = static_cast<std::int16_t>(total + static_cast<std::int16_t>(length));
    }
    if (isBlank(trimSpaces(lastPiece)) || total <= 0)
        return std::u16string_view{};
    return name.substr(0, static_cast<std::size_t>(total));
}

BrowseOperation::Outcome BrowseOperation::run(FileDialogComponent &dialog, std::u16string_view field, Purpose purpose)
{
    const auto full = trimSpaces(field);
    const auto directory = directoryPart(full);
    if (!directory)
        return {std::nullopt, Failure::of(Failure::Overflow)};
    try {
        dialog.setFileNameProperty(std::u16string(*directory) + std::u16string(Pattern));
        // A dialog that rewrote the pattern without a wildcard gets it back, but only
        // when the field gave no name to start from.
        if (dialog.FileNameProperty().find(u'*') == std::u16string::npos && full.empty())
            dialog.setFileNameProperty(dialog.FileNameProperty() + std::u16string(Pattern));
        dialog.setFilterProperty(Filter);
        dialog.ShowOperation(purpose == Purpose::Report ? FileDialogComponent::ShowSave
                                                        : FileDialogComponent::ShowOpen);
        std::u16string result = dialog.FileNameProperty();
        if (isBlank(trimSpaces(std::u16string_view(result))))
            return {};
        return {std::move(result), std::nullopt};
    } catch (const FileDialogComponent::Refused &refused) {
        return {std::nullopt, refused.failure};
    } catch (const std::exception &error) {
        Failure failure = Failure::of(Failure::ComponentError);
        if (*error.what())
            failure.description = error.what();
        return {std::nullopt, std::move(failure)};
    }
}

std::string BrowseOperation::BrowseErrorMessage(const Failure &failure)
{
    return failure.message("Errore nella scelta del file  ERR=");
}
