#pragma once

class QCoreApplication;

namespace lv::gui {

// Makes Qt's own texts (standard buttons, context menus, the file and print dialogs) Swedish,
// whatever the locale: the program speaks Swedish only. Loads Qt's Swedish catalogue from the
// system and, in front of it, the program's own catalogue of what that one lacks.
void installSwedishTranslations(QCoreApplication &app);

} // namespace lv::gui
