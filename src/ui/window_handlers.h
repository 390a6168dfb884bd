#pragma once

namespace vantrel {

// The two handlers that touch nothing but the window.
void OnWindowCreated(); // the window's created event, before it is first shown
void OnClearLists();    // 按钮2

} // namespace vantrel
