#include "window/form1layout.h"

#include <algorithm>

// Each Id names the control at its place.
static_assert(Form1Layout::control(Form1Layout::Id::Label1).name == "Label1");
static_assert(Form1Layout::control(Form1Layout::Id::Text1).name == "Text1");
static_assert(Form1Layout::control(Form1Layout::Id::Command2).name == "Command2");
static_assert(Form1Layout::control(Form1Layout::Id::Label2).name == "Label2");
static_assert(Form1Layout::control(Form1Layout::Id::Text2).name == "Text2");
static_assert(Form1Layout::control(Form1Layout::Id::Command4).name == "Command4");
static_assert(Form1Layout::control(Form1Layout::Id::Command1).name == "Command1");
static_assert(Form1Layout::control(Form1Layout::Id::Command3).name == "Command3");
static_assert(Form1Layout::control(Form1Layout::Id::List1).name == "List1");
static_assert(Form1Layout::Controls.size() == static_cast<std::size_t>(Form1Layout::Id::List1) + 1);

std::array<const Form1Layout::Control *, Form1Layout::Controls.size()> Form1Layout::creationOrder()
{
    std::array<const Control *, Controls.size()> order{};
    std::size_t next = 0;
    std::array<const Control *, Controls.size()> byTab{};
    std::transform(Controls.begin(), Controls.end(), byTab.begin(), [](const Control &c) { return &c; });
    // Stable: controls that share a tab index keep the table's order.
    std::stable_sort(byTab.begin(), byTab.end(), [](const Control *a, const Control *b) { return a->tabIndex < b->tabIndex; });
    for (const Control *control : byTab) {
        if (control->kind == Kind::Label && !control->names.empty())
            continue; // placed with the control it names
        for (const Control &label : Controls) {
            if (label.kind == Kind::Label && label.names == control->name)
                order[next++] = &label;
        }
        order[next++] = control;
    }
    return order;
}

const Form1Layout::Control *Form1Layout::find(std::string_view name)
{
    const auto found = std::find_if(Controls.begin(), Controls.end(), [&](const Control &c) { return c.name == name; });
    return found == Controls.end() ? nullptr : &*found;
}

Form1Layout::Point Form1Layout::centred(const Area &workArea, int width, int height)
{
    return {workArea.left + std::max(0, (workArea.width - width) / 2),
            workArea.top + std::max(0, (workArea.height - height) / 2)};
}
