#pragma once

#include "web/text.h"

#include <cstddef>

namespace vantrel {

inline constexpr int kListPageThreads = 50;
inline constexpr std::size_t kListPageSize = 350 * 1024;
inline constexpr int kThreadPagePictures = 30;
inline constexpr std::size_t kThreadPageSize = 300 * 1024;

// Pages as the forum service serves them, in UTF-8 and its current markup, the same on
// every call: a forum's list page with `threads` thread links, and a thread page with
// `pictures` posted pictures among emoticons, portraits and other images. Scripts,
// styles and indentation make up the rest, until the page has about `size` bytes.
Text generateListPage(int threads = kListPageThreads, std::size_t size = kListPageSize);
Text generateThreadPage(int pictures = kThreadPagePictures, std::size_t size = kThreadPageSize);

} // namespace vantrel
