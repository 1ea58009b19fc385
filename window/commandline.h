#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the program's arguments ask for, decided before any window opens, the same on
// every system. As GNU programs do: --help and --version answer and end the program,
// any other option is refused in one line with status 2, and "--" ends the options so
// that a page whose name begins with "-" can be named. One page at most.
struct CommandLine
{
    enum class Action {
        OpenWindow, // with `page`, when one was named
        Answer,     // print `text` on standard output; status 0
        Refuse,     // print `text` on standard error; status UsageStatus
    };
    static constexpr int UsageStatus = 2;

    Action action = Action::OpenWindow;
    std::optional<std::u16string> page;
    std::string text; // UTF-8, ended by a line break

    // `arguments` without the program's own name; `program` is how the help names it.
    static CommandLine parse(const std::vector<std::u16string> &arguments, std::string_view program,
                             std::string_view version);
};
