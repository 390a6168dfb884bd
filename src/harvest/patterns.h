#pragma once

namespace vantrel {

// What the commands look for in the forum's pages.
// A thread link of the list page: group 1 the link, group 2 the title, group 3 the link
// text. "[^>]*?" lets other attributes (rel="noreferrer") stand before href.
inline constexpr char kThreadPattern[] =
    R"re( <a [^>]*?href="(.*?)" title="(.*?)" target="_blank" class="j_th_tit ">(.*?)</a>)re";
// A picture posted in a thread page: group 2 the picture's address, the src attribute
// wherever it stands in the tag (a data-src is not taken for it).
inline constexpr char kImagePattern[] = R"re(class="BDE_Image" ([^>]*? )?src="(.*?)")re";

} // namespace vantrel
