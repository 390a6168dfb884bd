#include "app/shared_objects.h"
#include "harvest/character_references.h"
#include "harvest/commands.h"
#include "harvest/forum_addresses.h"
#include "harvest/messages.h"
#include "harvest/patterns.h"
#include "ui/window.h"
#include "web/code_page.h"
#include "web/page_request.h"

#include <string>

namespace vantrel {

void OnExtractImages()
{
    int serial = 0;
    int failedPages = 0;
    // The number of threads listed by the last page that was matched, not the row count.
    const int threadCount = ThreadRegex->MatchCount();
    for (int t = 0; t < threadCount; ++t) {
        const Text link = window().GetCellText(超级列表框1, t, 4);
        if (link.empty()) {
            // A row that is not listed (any more) names no thread to request.
            if (window().IsClosed())
                return;
            continue;
        }
        const Text page = Utf8ToLocal(RequestPage(ThreadPageUrl(link)));
        if (page.empty())
            ++failedPages;
        ImageRegex->Create(kImagePattern, page);
        const int pictureCount = ImageRegex->MatchCount();
        for (int j = 1; j <= pictureCount; ++j) {
            const int row = window().AppendRow(超级列表框2);
            ++serial;
            window().SetCellText(超级列表框2, row, 0, std::to_string(serial));
            window().SetCellText(超级列表框2, row, 1,
                                 DecodeCharacterReferences(ImageRegex->SubMatchText(j, 2)));
            if (!window().PumpEvents())
                return;
        }
        // Also after a page without pictures, so the window stays alive between requests.
        if (!window().PumpEvents())
            return;
    }
    window().ShowMessage(failedPages == 0 ? Utf8ToLocal(kAllFetchedMessage)
                                          : PagesFailedMessage(failedPages));
    window().SetDisabled(按钮3, false);
}

} // namespace vantrel
