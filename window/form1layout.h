#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The window as it was designed, described once: every front end creates its controls
// by walking this table and only turns its twips into the toolkit's pixels, and every
// test reads it instead of keeping a copy.
struct Form1Layout
{
    enum class Kind { Label, TextBox, Button, List };

    // Left, top, width, height in twips (1/1440 inch) from the client area's top-left corner.
    struct Twips
    {
        int left, top, width, height;
    };

    struct Control
    {
        std::string_view name;
        Kind kind;
        std::u16string_view caption;
        Twips twips;
        int tabIndex;
        // A label names the control after it for screen readers; the list has a name of
        // its own.
        std::string_view names;
        std::u16string_view accessibleName;
    };

    static constexpr std::u16string_view Title = u"PAGESIFT (path e nomi files) dentro una pagina HTML";
    static constexpr int ClientWidth = 11880; // twips
    static constexpr int ClientHeight = 8190;
    static constexpr int TwipsPerInch = 1440;
    // A logical pixel of 96 per inch is 15 twips; the toolkits scale it further.
    static constexpr int LogicalDpi = 96;

    // Each control by its place in the table, so that code that names a control is
    // checked by the compiler rather than matched by its name at run time.
    enum class Id : std::size_t { Label1, Text1, Command2, Label2, Text2, Command4, Command1, Command3, List1 };

    static constexpr std::array<Control, 9> Controls{{
        {"Label1", Kind::Label, u"Nome file di input", {135, 90, 1395, 255}, 4, "Text1", {}},
        {"Text1", Kind::TextBox, {}, {1575, 90, 4725, 285}, 0, {}, {}},
        {"Command2", Kind::Button, u"Sfoglia ...", {6405, 90, 1125, 330}, 6, {}, {}},
        {"Label2", Kind::Label, u"Nome file di output", {135, 510, 1395, 255}, 5, "Text2", {}},
        {"Text2", Kind::TextBox, {}, {1575, 525, 4725, 285}, 1, {}, {}},
        {"Command4", Kind::Button, u"Sfoglia ...", {6405, 510, 1125, 330}, 7, {}, {}},
        {"Command1", Kind::Button, u"Ricerca Path e nomi files", {3615, 930, 2460, 375}, 2, {}, {}},
        {"Command3", Kind::Button, u"F I N E", {6405, 930, 1125, 375}, 3, {}, {}},
        {"List1", Kind::List, {}, {105, 1380, 11670, 6690}, 8, {}, u"Risultati"},
    }};

    // The controls in the order they are created: by tab index, each label just before
    // the control it names, so that the focus moves in tab order (labels take none) and
    // a screen reader finds a field's name just before it.
    static std::array<const Control *, Controls.size()> creationOrder();

    static constexpr const Control &control(Id id) { return Controls[static_cast<std::size_t>(id)]; }
    static Id idOf(const Control &control) { return Id(static_cast<std::size_t>(&control - Controls.data())); }

    // The control of that name, or null.
    static const Control *find(std::string_view name);

    // A rectangle and a point on the screen, in the toolkit's pixels.
    struct Area
    {
        int left, top, width, height;
    };
    struct Point
    {
        int x, y;
    };
    // Where the window opens, frame included, on the primary screen's work area (the
    // screen less its task bars and panels): centred, but never above or left of the
    // area, so that a window larger than the area keeps its title bar within reach.
    static Point centred(const Area &workArea, int width, int height);

    // Twips at `dpi` pixels per inch, rounded to the nearest pixel.
    static constexpr int pixels(int twips, int dpi)
    {
        const long long scaled = static_cast<long long>(twips) * dpi;
        return static_cast<int>((scaled + (scaled >= 0 ? TwipsPerInch / 2 : -TwipsPerInch / 2)) / TwipsPerInch);
    }

    // The window's font size in points: the system's own, made smaller half a point at
    // a time until every label's caption fits its box, but never below 6 points. The
    // fixed boxes were drawn for a narrow 8-point font; one size for every control
    // keeps labels and fields alike. `fits(size)` measures the captions at that size.
    template <typename Fits>
    static double fontPointSize(double systemSize, Fits fits)
    {
        double size = systemSize;
        while (size - 0.5 >= SmallestPointSize && !fits(size))
            size -= 0.5;
        return size;
    }

    static constexpr double SmallestPointSize = 6.0;
};
