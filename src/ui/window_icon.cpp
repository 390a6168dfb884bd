#include "ui/window_icon.h"

// The resource lives in a static library, where nothing else would pull it into the program.
static void loadIconResource()
{
    Q_INIT_RESOURCE(vantrel);
}

namespace vantrel {

QIcon programIcon()
{
    loadIconResource();
    return QIcon(QStringLiteral(":/vantrel/vantrel.png"));
}

} // namespace vantrel
