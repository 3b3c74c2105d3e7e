#include "gui/app/appicon.h"

namespace lv::gui {

QIcon appIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/luftvaka/icons/luftvaka-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/luftvaka/icons/luftvaka-64.png"), QSize(64, 64));
    icon.addFile(QStringLiteral(":/luftvaka/icons/luftvaka-256.png"), QSize(256, 256));
    return icon;
}

} // namespace lv::gui
