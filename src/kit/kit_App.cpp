#include "kit_App.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <cstdio>
#include <cstdlib>

namespace kit {

namespace {
// The receiver of the posted request; deleting it withdraws a request not yet picked up.
QPointer<QObject> g_request;
} // namespace

void postQuitRequest()
{
    if (!g_request)
        g_request = new QObject(QCoreApplication::instance());
    // exit(), not quit(): Qt 6's quit() closes the windows first, which would run the close
    // event (and save) on the refusal path.
    QMetaObject::invokeMethod(
        g_request, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

bool quitRequested()
{
    return !g_request.isNull();
}

void clearQuitRequest()
{
    delete g_request.data();
}

void endProcess(int code)
{
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace kit
