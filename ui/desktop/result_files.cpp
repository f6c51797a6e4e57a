#include "ui/desktop/result_files.h"

#include "ui/forms/anchor_layout.h"

#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTabWidget>

#include <algorithm>

namespace corvane::ui {

namespace {

ResultFileChooser& chooserInPlace() {
    static ResultFileChooser chooser;
    return chooser;
}

// "Caption|*.EXT;*.EX2|..." as Qt's name filters, "Caption (*.EXT *.EX2)".
QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& caption = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the caption's last parentheses when it has them.
        filters << (caption.contains(QLatin1Char('(')) ? caption : caption + " (" + patterns + ")");
    }
    return filters;
}

ChosenFile askWithFileDialog(QWidget* parent, ResultFileDialog kind, const FileDialogSettings& settings) {
    QFileDialog dialog(parent, settings.title);
    // Export writes a file too: its dialog saves, and asks before it replaces one (a set's Save
    // replaces the older set without asking, as the program always did).
    dialog.setAcceptMode(kind == ResultFileDialog::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, kind != ResultFileDialog::Export);
    dialog.setDefaultSuffix(settings.defaultExt);
    const QStringList filters = nameFilters(settings.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    const auto takeFiltersExtension = [&dialog](const QString& filter) {
        static const QRegularExpression extension(QStringLiteral(R"(\*\.(\w+))"));
        if (const QRegularExpressionMatch match = extension.match(filter); match.hasMatch()) {
            dialog.setDefaultSuffix(match.captured(1));
        }
    };
    if (kind == ResultFileDialog::Export) {
        // While the dialog is open, for its question before it replaces a file.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, takeFiltersExtension);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    if (kind == ResultFileDialog::Export) {
        // The filter in force at the end, however it was chosen; the dialog gives the extension to
        // the names it hands out.
        takeFiltersExtension(dialog.selectedNameFilter());
    }
    if (dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return {dialog.selectedFiles().constFirst(),
            static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace

ResultFileChooser setResultFileChooser(ResultFileChooser chooser) {
    return std::exchange(chooserInPlace(), std::move(chooser));
}

ChosenFile chooseResultFile(QWidget* parent, ResultFileDialog dialog, const FileDialogSettings& settings) {
    if (const ResultFileChooser& chooser = chooserInPlace()) {
        return chooser(parent, dialog, settings);
    }
    return askWithFileDialog(parent, dialog, settings);
}

std::string fileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

void layOutAllPages(QTabWidget* tabs) {
    const QWidget* shown = tabs->currentWidget();
    if (!shown) {
        return;
    }
    for (int i = 0; i < tabs->count(); ++i) {
        if (QWidget* page = tabs->widget(i); page != shown && page->size() != shown->size()) {
            page->resize(shown->size());
            // A hidden widget hears of its new size only when shown: place its controls now.
            arrangeChildren(page);
        }
    }
}

} // namespace corvane::ui
