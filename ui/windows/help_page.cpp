#include "ui/windows/help_page.h"

#include <QDir>
#include <QFileInfo>

namespace corvane::ui {

QString helpPageFile(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("help/index.html"));
    if (QFileInfo(beside).isFile()) {
        return beside;
    }
    const QString installed =
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/corvane/help/index.html")));
    return QFileInfo(installed).isFile() ? installed : beside;
}

} // namespace corvane::ui
