#include "appinfo.h"
#include "platform/filenamecodec.h"
#include "window/commandline.h"
#include "window/recordstore.h"
#include "window/qt/qtdisplayguard.h"
#include "window/qt/qtform1.h"
#include "window/qt/qtpaintthread.h"
#include "window/qt/qttranslation.h"
#include "platform/posix/posixlistmemory.h"
#include "platform/posix/posixstartup.h"
#include "platform/qt/qtuserfeedback.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// Without a display Qt would print a stack of plugin warnings; one clear line is better.
bool displayAvailable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    // Before the first word on standard error, which may be a file past `ulimit -f`,
    // and before the first thread.
    PosixStartup::ignoreFileSignals();
    PosixStartup::shareOneHeap();
    // The arguments first: --help and --version need no display.
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(FileNameCodec::decode(argv[i]));
    const CommandLine command = CommandLine::parse(arguments, "pagesift", AppInfo::version);
    if (command.action == CommandLine::Action::Answer) {
        // A standard output that cannot take the answer is a failure, as in GNU programs.
        const bool written = std::fputs(command.text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
        return written ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (command.action == CommandLine::Action::Refuse) {
        std::fputs(command.text.c_str(), stderr);
        return CommandLine::UsageStatus;
    }
    if (!displayAvailable()) {
        std::fputs("PAGESIFT: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set).\n",
                   stderr);
        return EXIT_FAILURE;
    }
    std::optional<QtDisplayGuard> guard(std::in_place,
        "PAGESIFT: no display to open the window on (the window system that DISPLAY, WAYLAND_DISPLAY or "
        "QT_QPA_PLATFORM names cannot be reached).");
    // Qt sees only the program's name: the arguments are the page's, and a page named
    // after -- (say "-style") must not change the window.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    guard.reset();
    QtPaintThread::keepOne();
    installQtItalian(app);
    // The desktop matches the window to its entry and icon by these.
    QApplication::setApplicationName(AppInfo::applicationName);
    QApplication::setApplicationVersion(AppInfo::version);
    QGuiApplication::setDesktopFileName(AppInfo::desktopFileName);
    QApplication::setWindowIcon(QIcon(AppInfo::windowIcon));
    QtUserFeedback feedback;
    PosixListMemory listMemory(RecordStore::ChunkSize, RecordStore::LongestRecord);
    QtForm1 form(feedback, nullptr, nullptr, &listMemory);
    feedback.setOwner(&form);
    if (command.page)
        form.openPage(*command.page);
    form.show();
    return QApplication::exec();
}
