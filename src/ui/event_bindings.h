#pragma once

#include "ui/window.h"

#include <array>

namespace vantrel {

using Handler = void (*)();

// Which routine handles which event of the main window; no other event has a handler.
struct EventBindings
{
    Handler windowCreated;
    std::array<Handler, 4> buttonClicked; // indexed by Button
};

// The program's own table.
extern const EventBindings kEventBindings;

} // namespace vantrel
