#pragma once

namespace vantrel {

using ExitHook = void (*)();

// Adds a routine to the end of the exit-hook list unless it is already listed.
void RegisterExitHook(ExitHook hook);
// Runs every listed routine once, in the order of registration, then empties the list.
void RunExitHooks();

} // namespace vantrel
