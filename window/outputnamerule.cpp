#include "window/outputnamerule.h"

#include "platform/blanktext.h"

std::optional<std::u16string> OutputNameRule::propose(std::u16string_view input, std::u16string_view output)
{
    const auto name = trimSpaces(input);
    if (name.empty() || !isBlank(output))
        return std::nullopt;
    std::u16string proposal{name};
    if (const auto dot = proposal.find(u'.'); dot != std::u16string::npos) {
        // Keep the dot and the two characters after it, when there are two.
        proposal.resize(std::min(proposal.size(), dot + 3));
        proposal += u'3';
    }
    return proposal;
}
