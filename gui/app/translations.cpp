#include "gui/app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace lv::gui {

void installSwedishTranslations(QCoreApplication &app)
{
    // Qt's catalogue is an older one that knows many of Qt 6's texts under their old contexts
    // only; ours (embedded, installed last so it is asked first) fills in the rest. A missing
    // system catalogue leaves those texts English, which is no reason to stop the program.
    auto *qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qt_sv"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    auto *own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/luftvaka/translations/luftvaka_qt_sv.qm")))
        QCoreApplication::installTranslator(own);
}

} // namespace lv::gui
