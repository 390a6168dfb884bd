#include "harvest/commands.h"

#include "ui/window.h"

namespace vantrel {

// Provisional: the commands only move the buttons through their states for now.
void OnListThreads()
{
    window().SetDisabled(按钮2, false);
    window().SetDisabled(按钮4, false);
}

void OnExtractImages() { window().SetDisabled(按钮3, false); }

void OnDownloadImages() {}

} // namespace vantrel
