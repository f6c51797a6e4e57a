#include "ui/desktop/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace corvane::ui {

namespace {

struct Installed {
    std::unique_ptr<QTranslator> program;
    std::unique_ptr<QTranslator> qt;
};

Installed& installed() {
    static Installed translators;
    return translators;
}

std::unique_ptr<QTranslator> loaded(const QLocale& locale, const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, name, QStringLiteral("_"), folder) || translator->isEmpty()) {
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace

bool installTranslations(const QLocale& locale) {
    removeTranslations();
    Installed& now = installed();
    // Qt's translations come with Qt (the package qt6-translations-l10n on Debian).
    now.qt = loaded(locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    now.program = loaded(locale, QStringLiteral("corvane"), QStringLiteral(":/translations"));
    return now.program != nullptr;
}

QString programLanguage() {
    const std::unique_ptr<QTranslator>& program = installed().program;
    if (!program) {
        return {};
    }
    // corvane_LANGUAGE.qm
    const QString file = program->filePath();
    const qsizetype start = file.lastIndexOf(QLatin1Char('_')) + 1;
    const qsizetype end = file.lastIndexOf(QLatin1Char('.'));
    return start > 0 && end > start ? file.mid(start, end - start) : QString();
}

void removeTranslations() {
    Installed& now = installed();
    for (std::unique_ptr<QTranslator>* translator : {&now.program, &now.qt}) {
        if (*translator) {
            QCoreApplication::removeTranslator(translator->get());
            translator->reset();
        }
    }
}

} // namespace corvane::ui
