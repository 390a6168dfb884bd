#pragma once

namespace vantrel {

// The program's own entry: runs from the start of the process to the end of the
// message loop and gives the process exit code.
int AppStart(int argc, char** argv);

} // namespace vantrel
