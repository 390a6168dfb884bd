#pragma once

namespace vantrel {

// The program's own entry: runs from the start of the process through the message loop
// to the end of the shutdown, and gives the process exit code.
int AppStart(int argc, char** argv);

} // namespace vantrel
