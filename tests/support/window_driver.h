#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

namespace vantrel {
class MainWindow;
}

namespace vantrel::test {

// Shows the window centred as the program does and waits until it is active, which the
// keyboard focus and Esc need; false when it did not become active in time.
[[nodiscard]] bool showMainWindow(MainWindow& window);

// The window's control with that object name ("按钮1", "超级列表框2", ...); null, with a
// test failure, when there is none of that type.
template <typename Control = QWidget>
Control* control(const QWidget& window, const char* name)
{
    auto* found = window.findChild<Control*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

} // namespace vantrel::test
