#pragma once

// The program in the user's language: its own translation (resources/translations/, built into the
// program) and Qt's translations of what Qt itself shows (the standard buttons of message boxes,
// the file dialogs). English, the language of the program's texts, needs none.

#include <QString>

class QLocale;

namespace corvane::ui {

// Installs the translations for `locale` (the user's: QLocale::system()), replacing any installed
// before. Returns whether the program has a translation for it; Qt's own are installed where Qt
// has them, either way.
bool installTranslations(const QLocale& locale);

// The language of the program's translation installed now ("de"), or an empty text when the
// program speaks English. The help page is chosen by it.
QString programLanguage();

// Removes what installTranslations installed: the program speaks English again (for windows
// built afterwards).
void removeTranslations();

} // namespace corvane::ui
