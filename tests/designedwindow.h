#pragma once

#include <string_view>

// The window as it was designed, written out: both front ends' layout tests compare
// their real controls with these names, texts and twips, never with the product's own
// table, so a control moved or renamed there is caught.
struct DesignedControl
{
    const char *name;
    std::string_view kind; // "label", "text box", "push button" or "list box"
    std::u16string_view caption;
    int left, top, width, height; // twips from the client area's top-left corner
};

inline constexpr DesignedControl DesignedControls[] = {
    {"Label1", "label", u"Nome file di input", 135, 90, 1395, 255},
    {"Text1", "text box", u"", 1575, 90, 4725, 285},
    {"Command2", "push button", u"Sfoglia ...", 6405, 90, 1125, 330},
    {"Label2", "label", u"Nome file di output", 135, 510, 1395, 255},
    {"Text2", "text box", u"", 1575, 525, 4725, 285},
    {"Command4", "push button", u"Sfoglia ...", 6405, 510, 1125, 330},
    {"Command1", "push button", u"Ricerca Path e nomi files", 3615, 930, 2460, 375},
    {"Command3", "push button", u"F I N E", 6405, 930, 1125, 375},
    {"List1", "list box", u"", 105, 1380, 11670, 6690},
};

inline constexpr std::u16string_view DesignedTitle = u"PAGESIFT (path e nomi files) dentro una pagina HTML";
inline constexpr int DesignedClientWidth = 11880; // twips
inline constexpr int DesignedClientHeight = 8190;

// Where Tab takes the focus, from the first field round to the list (labels take none).
inline constexpr const char *DesignedTabOrder[] = {"Text1", "Text2", "Command1", "Command3", "Command2", "Command4", "List1"};
