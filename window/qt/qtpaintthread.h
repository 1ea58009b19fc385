#pragma once

// Qt's painter shares large fills among the global thread pool's threads and waits for
// them; a thread that cannot be started once memory has run out never runs its share,
// and the window never paints again. The program, and whatever measures it, keeps one
// thread, started at once and kept, which paints with whatever memory the list leaves.
struct QtPaintThread
{
    static void keepOne();
};
