#pragma once

// Watches Qt while it connects to the window system, so that a display that cannot be
// reached ends the program with one line of its own and status 1 instead of Qt's
// abort. Qt alone knows which platform plugins it would try (QT_QPA_PLATFORM with its
// fallbacks, the session type, the plugin folders) and how each reaches its server, so
// its own verdict is taken, not a second guess: the one fatal error Qt has while the
// application object is made is that no platform could be started. What Qt says
// meanwhile is held back, dropped with that failure and passed on otherwise.
class QtDisplayGuard
{
public:
    // `line` is printed, with a line end, before the program ends.
    explicit QtDisplayGuard(const char *line);
    // Qt's messages go where they went before; those held back follow them.
    ~QtDisplayGuard();
    QtDisplayGuard(const QtDisplayGuard &) = delete;
    QtDisplayGuard &operator=(const QtDisplayGuard &) = delete;
};
