#pragma once

namespace vantrel {

// What the commands look for in the forum's pages.
// A thread link of the list page: group 1 the link, group 2 the title, group 3 the link text.
inline constexpr char kThreadPattern[] =
    R"( <a [^>]*?href="(.*?)" title="(.*?)" target="_blank" class="j_th_tit ">(.*?)</a>)";
// A picture posted in a thread page: group 2 the picture's address.
inline constexpr char kImagePattern[] = R"(class="BDE_Image" ([^>]*? )?src="(.*?)")";

} // namespace vantrel
