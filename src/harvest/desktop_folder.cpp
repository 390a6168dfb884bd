#include "harvest/desktop_folder.h"

#include <filesystem>

#include <QFile>
#include <QStandardPaths>

namespace vantrel {

std::string DesktopFolder()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (location.isEmpty())
        return {};
    std::string folder = QFile::encodeName(location).toStdString();
    if (folder.back() != std::filesystem::path::preferred_separator)
        folder += std::filesystem::path::preferred_separator;
    return folder;
}

} // namespace vantrel
