#include "app/shared_objects.h"
#include "harvest/character_references.h"
#include "harvest/commands.h"
#include "harvest/find_in_text.h"
#include "harvest/forum_addresses.h"
#include "harvest/messages.h"
#include "harvest/patterns.h"
#include "ui/window.h"
#include "web/code_page.h"
#include "web/page_request.h"

#include <string>

namespace vantrel {

void OnListThreads()
{
    window().SetDisabled(按钮2, false);
    window().SetDisabled(按钮4, false);
    window().DeleteAllRows(超级列表框1);
    const Text name = window().GetEditText();
    // The request goes out before the name is tested, also for an empty name.
    const Text page = Utf8ToLocal(RequestPage(ListPageUrl(name)));
    if (name.empty()) {
        window().ShowMessage(Utf8ToLocal(kEmptyNameMessage));
        return;
    }
    const Text closedMarker = Utf8ToLocal(kClosedForumMessage);
    if (FindInText(page, closedMarker) != -1) {
        window().ShowMessage(closedMarker);
        return;
    }

    ThreadRegex->Create(kThreadPattern, page);
    const int threadCount = ThreadRegex->MatchCount();
    for (int k = 1; k <= threadCount; ++k) {
        const int row = window().AppendRow(超级列表框1);
        window().SetCellText(超级列表框1, row, 1, std::to_string(k));
        window().SetCellText(超级列表框1, row, 2,
                             DecodeCharacterReferences(ThreadRegex->SubMatchText(k, 2)));
        window().SetCellText(超级列表框1, row, 4,
                             DecodeCharacterReferences(ThreadRegex->SubMatchText(k, 1)));
        if (!window().PumpEvents())
            return;
    }
    // An empty page is a failed request: no forum page is ever empty.
    window().ShowMessage(Utf8ToLocal(page.empty() ? kListFailedMessage : kAllFetchedMessage));
}

} // namespace vantrel
