#include "ui/windows/help_page.h"

#include <QDir>
#include <QFileInfo>

namespace corvane::ui {

QString helpPageFile(const QString& programFolder, const QString& language) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("help/index.html"));
    QStringList names;
    if (!language.isEmpty()) {
        names << QStringLiteral("index.%1.html").arg(language);
    }
    names << QStringLiteral("index.html");
    for (const QString& name : names) {
        for (const QString& place : {QStringLiteral("help/"), QStringLiteral("../share/corvane/help/")}) {
            const QString file = QDir::cleanPath(folder.filePath(place + name));
            if (QFileInfo(file).isFile()) {
                return file;
            }
        }
    }
    return beside;
}

} // namespace corvane::ui
