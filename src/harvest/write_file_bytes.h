#pragma once

#include "web/text.h"

#include <string>

namespace vantrel {

// Replaces the file at a native path with the data, atomically: the data go to a
// temporary file in the same folder, which is then renamed over the target, so the
// target is either the old file or the whole new one. Missing folders on the way are
// created. False, with nothing left behind, on any failure or an empty path.
bool WriteFileBytes(const std::string& path, const Bytes& data);

} // namespace vantrel
