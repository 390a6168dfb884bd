#pragma once

#include <QIcon>

namespace vantrel {

// The program's own icon, 128 × 128 pixels in 32-bit colour, for the title bar and taskbar.
QIcon programIcon();

} // namespace vantrel
