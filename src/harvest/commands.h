#pragma once

namespace vantrel {

// The click handlers of the three harvest buttons.
void OnListThreads();    // 按钮1
void OnExtractImages();  // 按钮4
void OnDownloadImages(); // 按钮3

} // namespace vantrel
