#pragma once

#include "ui/window.h"

namespace vantrel {

// The main window makes itself what window() answers for as long as it lives.
void SetCurrentWindow(WindowOperations* current);
// Forgets the window unless another one has taken its place meanwhile.
void ClearCurrentWindow(const WindowOperations* leaving);

} // namespace vantrel
