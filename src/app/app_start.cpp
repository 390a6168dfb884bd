#include "app/app_start.h"

#include "app/component_system.h"
#include "app/exit_hooks.h"
#include "app/shared_objects.h"
#include "app/window_system.h"
#include "ui/main_window.h"

#include <memory>

namespace vantrel {
namespace {

// From the window system to the end of the message loop; the window and the window
// system are gone when it returns.
int runMainWindow(int argc, char** argv)
{
    const std::unique_ptr<QApplication> application = StartWindowSystem(argc, argv);
    // The loop ends when the main window closes, not when the last message box does.
    QApplication::setQuitOnLastWindowClosed(false);
    MainWindow mainWindow;
    QObject::connect(&mainWindow, &MainWindow::closed, application.get(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    mainWindow.showCentred();
    return QApplication::exec();
}

} // namespace

int AppStart(int argc, char** argv)
{
    StartComponentSystem();
    InitGlobals();
    RegisterExitHook(ReleaseGlobals);
    const int exitCode = runMainWindow(argc, argv);
    RunExitHooks();
    StopComponentSystem();
    return exitCode;
}

} // namespace vantrel
