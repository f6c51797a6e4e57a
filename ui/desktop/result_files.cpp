#include "ui/desktop/result_files.h"

#include "stream/error.h"
#include "stream/messages.h"
#include "ui/forms/anchor_layout.h"

#include <QFile>
#include <QFileDialog>
#include <QSaveFile>
#include <QTabWidget>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

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

QString askWithFileDialog(QWidget* parent, ResultFileDialog kind, const FileDialogSettings& settings) {
    QFileDialog dialog(parent, settings.title);
    dialog.setAcceptMode(kind == ResultFileDialog::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(settings.defaultExt);
    const QStringList filters = nameFilters(settings.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

[[noreturn]] void failCreate(const std::string& path, const std::string& reason) {
    throw Error(stream::formatMessage(stream::kCannotCreateFile, {path, reason}));
}

class SavedResultFile final : public stream::ResultFileOutput {
public:
    explicit SavedResultFile(const std::string& path)
        : path_(path), file_(QFile::decodeName(QByteArray::fromStdString(path))) {
        // QSaveFile words some refusals in its own texts; the message gives the system's.
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) {
                failCreate(path, stream::systemErrorText(EISDIR));
            }
            if (::access(path.c_str(), W_OK) != 0) {
                failCreate(path, stream::systemErrorText(errno));
            }
        }
        errno = 0;
        if (!file_.open(QIODevice::WriteOnly)) {
            const int error = errno;
            failCreate(path, error != 0 ? stream::systemErrorText(error) : file_.errorString().toStdString());
        }
    }

    void write(std::span<const uint8_t> bytes) override {
        const auto size = static_cast<qint64>(bytes.size());
        if (file_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
            throw Error(std::string(stream::kStreamWriteError));
        }
    }

    void commit() override {
        if (file_.commit()) {
            return;
        }
        if (file_.error() == QFileDevice::RenameError) {
            failCreate(path_, file_.errorString().toStdString());
        }
        throw Error(std::string(stream::kStreamWriteError));
    }

private:
    std::string path_;
    QSaveFile file_;
};

} // namespace

ResultFileChooser setResultFileChooser(ResultFileChooser chooser) {
    return std::exchange(chooserInPlace(), std::move(chooser));
}

QString chooseResultFile(QWidget* parent, ResultFileDialog dialog, const FileDialogSettings& settings) {
    if (const ResultFileChooser& chooser = chooserInPlace()) {
        return chooser(parent, dialog, settings);
    }
    return askWithFileDialog(parent, dialog, settings);
}

std::unique_ptr<stream::ResultFileOutput> createResultFile(const std::string& path) {
    return std::make_unique<SavedResultFile>(path);
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
