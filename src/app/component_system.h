#pragma once

namespace vantrel {

// What the automation objects and the HTTP clients rely on: libcurl's global state.
// It is started before anything else at start-up and stopped as the very last step.
void StartComponentSystem();
void StopComponentSystem();
bool ComponentSystemIsUp();

} // namespace vantrel
