#include "harvest/messages.h"

#include "web/code_page.h"

#include <string>

namespace vantrel {

Text PagesFailedMessage(int failedPages)
{
    return Utf8ToLocal("获取完毕，其中 " + std::to_string(failedPages) + " 个贴子的页面获取失败。");
}

Text DownloadSummaryMessage(int saved, int failed)
{
    return Utf8ToLocal("下载完毕：成功 " + std::to_string(saved) + " 张，失败 " +
                       std::to_string(failed) + " 张。");
}

} // namespace vantrel
