#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// List1's context menu, decided once for every window: "Copia" copies the selected
// records whole, "Seleziona tutto" selects every row. Each is offered only when it can
// do something (nothing to copy with no row selected, nothing to add once every row is
// selected), and shows the shortcut that does the same from the keyboard while the
// list has the focus (the shortcuts work whatever the menu last showed).
struct ListMenu
{
    enum class Command { Copy, SelectAll };

    struct Item
    {
        Command command;
        std::u16string_view caption;
        std::u16string_view shortcut; // as the toolkit's key sequences spell it
        bool enabled;
    };

    static constexpr std::array<Item, 2> items(std::size_t selected, std::size_t rows)
    {
        return {{
            {Command::Copy, u"Copia", u"Ctrl+C", selected > 0},
            {Command::SelectAll, u"Seleziona tutto", u"Ctrl+A", selected < rows},
        }};
    }
};
