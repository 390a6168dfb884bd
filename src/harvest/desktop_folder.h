#pragma once

#include <string>

namespace vantrel {

// The current user's desktop folder as a native file-system path ending with the
// separator, as the XDG user directories name it; empty when it cannot be found. It is
// only ever handed to the file system, so it stays native rather than 936 text.
std::string DesktopFolder();

} // namespace vantrel
