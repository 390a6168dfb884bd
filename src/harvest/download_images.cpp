#include "harvest/commands.h"
#include "harvest/delay_with_events.h"
#include "harvest/desktop_folder.h"
#include "harvest/fetch_url.h"
#include "harvest/messages.h"
#include "harvest/write_file_bytes.h"
#include "ui/window.h"
#include "web/code_page.h"

#include <filesystem>
#include <string>

namespace vantrel {

namespace {

constexpr int kPauseAfterPictureMilliseconds = 500;

// The picture's number is its row's position in the list, not the serial in column 0.
std::string pictureFilePath(const std::string& desktopFolder, int number)
{
    return desktopFolder + "PIC" + std::filesystem::path::preferred_separator +
           std::to_string(number) + ".jpg";
}

} // namespace

void OnDownloadImages()
{
    int saved = 0;
    int failed = 0;
    const int pictureCount = window().RowCount(超级列表框2);
    for (int i = 1; i <= pictureCount; ++i) {
        const std::string desktopFolder = DesktopFolder();
        const std::string path = pictureFilePath(desktopFolder, i);
        const Text address = window().GetCellText(超级列表框2, i - 1, 1);
        const FetchedResource picture = FetchUrl(address);
        // Without a desktop folder the path would point at the root of the file system.
        const bool stored =
            !desktopFolder.empty() && picture.succeeded() && WriteFileBytes(path, picture.body);
        ++(stored ? saved : failed);
        if (!DelayWithEvents(kPauseAfterPictureMilliseconds) || !window().PumpEvents())
            return;
    }
    window().ShowMessage(failed == 0 ? Utf8ToLocal(kAllDownloadedMessage)
                                     : DownloadSummaryMessage(saved, failed));
}

} // namespace vantrel
