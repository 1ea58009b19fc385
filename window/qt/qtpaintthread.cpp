#include "window/qt/qtpaintthread.h"

#include <QThreadPool>

void QtPaintThread::keepOne()
{
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    QThreadPool::globalInstance()->start([] {});
}
