#include "lineselector.h"

#include <algorithm>
#include <cstring>

namespace {

void replaceTabs(char *begin, char *end)
{
    while (begin < end) {
        auto *tab = static_cast<char *>(std::memchr(begin, '\t', static_cast<std::size_t>(end - begin)));
        if (!tab)
            return;
        *tab = ' ';
        begin = tab + 1;
    }
}

constexpr char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

bool holdsReferenceExtension(std::string_view line)
{
    // Only ASCII letters change case on upper-casing, so comparing the three characters
    // after each "." upper-cased is the same as searching an upper-cased copy.
    const char *p = line.data();
    const char *const end = line.data() + line.size();
    while (end - p >= 4) {
        const auto *dot = static_cast<const char *>(std::memchr(p, '.', static_cast<std::size_t>(end - p - 3)));
        if (!dot)
            return false;
        const char found[3] = {upper(dot[1]), upper(dot[2]), upper(dot[3])};
        for (std::string_view extension : LineSelector::ReferenceExtensions) {
            if (std::memcmp(found, extension.data() + 1, 3) == 0)
                return true;
        }
        p = dot + 1;
    }
    return false;
}

} // namespace

bool LineSelector::normalise(std::span<char> line, std::int16_t &ColumnIndex)
{
    if (line.size() > static_cast<std::size_t>(MaxLength))
        return false;
    const auto length = static_cast<std::int16_t>(line.size());
    char *const begin = line.data();
    char *const end = begin + line.size();

    // The column walk visits positions 1, 2, ... and stops at the first one where the
    // line is blank or past its end; it turns each tab it visits into a space. Blankness
    // only changes when a tab becomes a space, so where the walk stops follows from the
    // last character that is neither a space nor a tab, and from the last tab.
    const auto isSolid = [](char c) { return c != ' ' && c != '\t'; };
    const auto lastSolid = std::find_if(line.rbegin(), line.rend(), isSolid);
    if (lastSolid == line.rend()) {
        const auto lastTab = std::find(line.rbegin(), line.rend(), '\t');
        if (lastTab == line.rend()) { // blank from the start
            ColumnIndex = 1;
            return true;
        }
        // Spaces and tabs only: the walk turns the last tab into a space and stops on
        // the position after it, which must still fit in 16 bits.
        const auto tabPosition = static_cast<std::int16_t>(line.rend() - lastTab);
        replaceTabs(begin, end);
        if (tabPosition == MaxLength) {
            ColumnIndex = MaxLength;
            end[-1] = '\t'; // the failing step never rebuilt the line
            return false;
        }
        ColumnIndex = static_cast<std::int16_t>(tabPosition + 1);
        return true;
    }

    // Never blank: the walk runs past the end, position length + 1.
    if (length == MaxLength) {
        ColumnIndex = MaxLength;
        replaceTabs(begin, end - 1);
        return false;
    }
    replaceTabs(begin, end);
    ColumnIndex = static_cast<std::int16_t>(length + 1);
    return true;
}

bool LineSelector::isSelected(std::string_view line)
{
    if (line.find('\\') != std::string_view::npos)
        return true;
    const auto slash = line.find('/');
    if (slash != std::string_view::npos) {
        // A "/" that opens the line has nothing before it, so it cannot close a tag:
        // it is the start of an absolute path ("/images/logo.gif") and selects the line.
        if (slash == 0 || line[slash - 1] != '<')
            return true;
    }
    return holdsReferenceExtension(line);
}

LineSelector::Verdict LineSelector::normaliseAndSelect(std::span<char> line, std::int16_t &ColumnIndex)
{
    if (!normalise(line, ColumnIndex))
        return Verdict::Overflow;
    return isSelected({line.data(), line.size()}) ? Verdict::Selected : Verdict::NotSelected;
}
