#include "ui/window.h"

#include "ui/current_window.h"

namespace vantrel {
namespace {

// What window() answers while no main window lives (before start-up, in the exit hook):
// a window that has been closed, so a command that reaches it stops instead of crashing.
class NoWindow final : public WindowOperations
{
public:
    void SetDisabled(Button, bool) override {}
    Text GetEditText() const override { return {}; }
    void DeleteAllRows(ListView) override {}
    int AppendRow(ListView) override { return -1; }
    void SetCellText(ListView, int, int, const Text&) override {}
    Text GetCellText(ListView, int, int) const override { return {}; }
    int RowCount(ListView) const override { return 0; }
    int ShowMessage(const Text&, int) override { return 0; }
    bool PumpEvents() override { return false; }
    bool WaitForEvents(int) override { return false; }
    bool IsClosed() const override { return true; }
};

NoWindow g_noWindow;
WindowOperations* g_currentWindow = nullptr;

} // namespace

WindowOperations& window()
{
    return g_currentWindow ? *g_currentWindow : g_noWindow;
}

void SetCurrentWindow(WindowOperations* current)
{
    g_currentWindow = current;
}

void ClearCurrentWindow(const WindowOperations* leaving)
{
    if (g_currentWindow == leaving)
        g_currentWindow = nullptr;
}

} // namespace vantrel
