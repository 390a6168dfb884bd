#pragma once

#include "web/text.h"

namespace vantrel {

// The controls by the names the commands use.
enum Button
{
    按钮1,
    按钮2,
    按钮3,
    按钮4
};
enum ListView
{
    超级列表框1,
    超级列表框2
};

// What the harvest commands may do with the main window. Every Text is in code page 936.
// Rows and columns count from 0; a row or a column that does not exist reads as empty
// and ignores writes. Once the window has been closed the operations do nothing, read
// as empty, and PumpEvents / WaitForEvents answer false so a running command stops.
class WindowOperations
{
public:
    virtual ~WindowOperations() = default;

    virtual void SetDisabled(Button button, bool disabled) = 0;
    virtual Text GetEditText() const = 0;
    virtual void DeleteAllRows(ListView list) = 0;
    virtual int AppendRow(ListView list) = 0;
    virtual void SetCellText(ListView list, int row, int column, const Text& text) = 0;
    virtual Text GetCellText(ListView list, int row, int column) const = 0;
    virtual int RowCount(ListView list) const = 0;
    // A message box with the caption "信息：" and one OK button, modal for the whole program;
    // returns once it has been dismissed: 1 for OK, 0 when the window closed meanwhile
    // or had already been closed, which shows nothing.
    virtual int ShowMessage(const Text& text, int buttons = 0) = 0;

    // Handles every event that is waiting; false once the window has been closed.
    [[nodiscard]] virtual bool PumpEvents() = 0;
    // Sleeps until an event arrives or the time is up, then handles what is waiting;
    // false once the window has been closed.
    [[nodiscard]] virtual bool WaitForEvents(int maxMilliseconds) = 0;
    virtual bool IsClosed() const = 0;
};

// The main window, for the commands that run inside its click handlers. While no main
// window lives (before start-up, in the exit hook) it answers as a closed window does.
WindowOperations& window();

} // namespace vantrel
