#include "window/commandline.h"

#include "platform/filenamecodec.h"

namespace {

CommandLine refuse(const std::string &what)
{
    // Named as the program's other messages on standard error name it.
    return {CommandLine::Action::Refuse, std::nullopt, "PAGESIFT: " + what + '\n'};
}

// An argument as the message shows it: its own bytes on Linux, UTF-8 on Windows.
std::string quoted(std::u16string_view argument)
{
    return '\'' + FileNameCodec::encode(argument).value_or("?") + '\'';
}

} // namespace

CommandLine CommandLine::parse(const std::vector<std::u16string> &arguments, std::string_view program,
                               std::string_view version)
{
    CommandLine result;
    bool options = true;
    const std::u16string *second = nullptr;
    for (const std::u16string &argument : arguments) {
        // "-" alone is a name, as in most programs.
        if (options && argument.size() > 1 && argument.front() == u'-') {
            if (argument == u"--") {
                options = false;
            } else if (argument == u"--help") {
                const std::string name(program);
                return {Action::Answer, std::nullopt,
                        "Usage: " + name + " [--] [PAGE]\n"
                        "Opens the PAGESIFT window, which lists the lines of an HTML page that refer to\n"
                        "paths or files. A PAGE named here is taken as if chosen with \"Sfoglia ...\": it\n"
                        "becomes the input name and the report's name is proposed from it.\n"
                        "\n"
                        "  --help     show this help and exit\n"
                        "  --version  show the version and exit\n"
                        "  --         end of the options: the next argument is the page, even when\n"
                        "             its name begins with \"-\"\n"};
            } else if (argument == u"--version") {
                return {Action::Answer, std::nullopt,
                        "PAGESIFT " + std::string(version) +
                            "\nCopyright (c) 2026 The PAGESIFT authors. MIT License: free to use, change and "
                            "share, without warranty.\n"};
            } else {
                return refuse("unknown option " + quoted(argument) + " (" + std::string(program) +
                              " --help lists the options, a page whose name begins with - goes after --)");
            }
        } else if (!result.page) {
            result.page = argument;
        } else if (!second) {
            second = &argument;
        }
    }
    // Refused only once the options have had their say: --help answers whatever else.
    if (second)
        return refuse("one page at most: " + quoted(*second) + " is a second one");
    return result;
}
