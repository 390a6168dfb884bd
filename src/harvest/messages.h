#pragma once

#include "web/text.h"

namespace vantrel {

// The texts the commands show, in UTF-8 as written here; they go to the window in 936.
inline constexpr char kEmptyNameMessage[] = "亲，您还没有输入内容哦！！！";
// Shown as the message, and searched for in the list page as the closed-forum marker.
inline constexpr char kClosedForumMessage[] = "抱歉，根据相关法律法规和政策，本吧暂不开放。";
inline constexpr char kListFailedMessage[] = "获取失败，请检查网络连接后重试。";
inline constexpr char kAllFetchedMessage[] = "全部获取完毕";
inline constexpr char kAllDownloadedMessage[] = "全部下载完毕！";

// "获取完毕，其中 k 个贴子的页面获取失败。", in 936.
Text PagesFailedMessage(int failedPages);
// "下载完毕：成功 s 张，失败 f 张。", in 936.
Text DownloadSummaryMessage(int saved, int failed);

} // namespace vantrel
