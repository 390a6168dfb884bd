#include "support/window_driver.h"

#include "ui/main_window.h"

#include <QTest>

namespace vantrel::test {

bool showMainWindow(MainWindow& window)
{
    window.showCentred();
    return QTest::qWaitForWindowActive(&window, 10000);
}

} // namespace vantrel::test
