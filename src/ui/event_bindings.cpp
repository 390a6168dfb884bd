#include "ui/event_bindings.h"

#include "harvest/commands.h"
#include "ui/window_handlers.h"

namespace vantrel {

const EventBindings kEventBindings = [] {
    EventBindings bindings{};
    bindings.windowCreated = OnWindowCreated;
    bindings.buttonClicked[按钮1] = OnListThreads;
    bindings.buttonClicked[按钮2] = OnClearLists;
    bindings.buttonClicked[按钮3] = OnDownloadImages;
    bindings.buttonClicked[按钮4] = OnExtractImages;
    return bindings;
}();

} // namespace vantrel
