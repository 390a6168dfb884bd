#include "ui/window_handlers.h"

#include "ui/window.h"

namespace vantrel {

void OnWindowCreated()
{
    window().SetDisabled(按钮2, true);
    window().SetDisabled(按钮3, true);
    window().SetDisabled(按钮4, true);
}

// Leaves 按钮2 enabled and the pattern objects as they are: ThreadRegex keeps the
// matches of the last listed page.
void OnClearLists()
{
    window().DeleteAllRows(超级列表框1);
    window().DeleteAllRows(超级列表框2);
    window().SetDisabled(按钮4, true);
    window().SetDisabled(按钮3, true);
}

} // namespace vantrel
