#include "window/qt/qtdisplayguard.h"

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Held
{
    QtMsgType type;
    std::string category;
    QString text;
};

std::mutex guarded;
const char *noDisplayLine = nullptr;
std::vector<Held> held;
QtMessageHandler before = nullptr;

void holdOrEnd(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const std::lock_guard lock(guarded);
    if (type == QtFatalMsg) {
        std::fputs(noDisplayLine, stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        // Nothing else is to run: Qt is half made, and would abort in its destructors.
        ::_exit(EXIT_FAILURE);
    }
    held.push_back({type, context.category ? context.category : "", text});
}

} // namespace

QtDisplayGuard::QtDisplayGuard(const char *line)
{
    noDisplayLine = line;
    before = qInstallMessageHandler(holdOrEnd);
}

QtDisplayGuard::~QtDisplayGuard()
{
    qInstallMessageHandler(before);
    std::vector<Held> pending;
    {
        const std::lock_guard lock(guarded);
        pending.swap(held);
    }
    for (const Held &message : pending) {
        // Through Qt's logging again, so they are formatted and filtered as any other.
        const QMessageLogger logger(nullptr, 0, nullptr, message.category.c_str());
        switch (message.type) {
        case QtDebugMsg:
            logger.debug("%ls", qUtf16Printable(message.text));
            break;
        case QtInfoMsg:
            logger.info("%ls", qUtf16Printable(message.text));
            break;
        case QtCriticalMsg:
            logger.critical("%ls", qUtf16Printable(message.text));
            break;
        default:
            logger.warning("%ls", qUtf16Printable(message.text));
            break;
        }
    }
}
