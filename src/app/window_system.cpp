#include "app/window_system.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <QByteArray>

namespace vantrel {
namespace {

QByteArray environmentValue(const char* name, const char* whenUnset)
{
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QByteArray(whenUnset) : value;
}

// Qt ends a failed platform start with a fatal message and an abort; everything it says
// before that is chatter about the same failure.
void startupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type != QtFatalMsg)
        return;
    const QByteArray platform = environmentValue("QT_QPA_PLATFORM", "default");
    const QByteArray display = environmentValue("DISPLAY", "(not set)");
    std::fprintf(stderr,
                 "vantrel: cannot open a display for the window (Qt platform %s, DISPLAY %s); "
                 "run it in a desktop session, or without one as: xvfb-run vantrel\n",
                 platform.constData(), display.constData());
    std::fflush(stderr);
    _exit(kWindowFailedExitCode);
}

} // namespace

std::unique_ptr<QApplication> StartWindowSystem(int& argc, char** argv)
{
    const QtMessageHandler previous = qInstallMessageHandler(startupMessageHandler);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return application;
}

} // namespace vantrel
