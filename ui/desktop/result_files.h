#pragma once

// What the main window's File > Save and File > Open need besides the result set's steps: the file
// dialogs that choose a set's name (replaceable, so that tests need no dialog), and the files the
// set is written to, which replace older files only once complete.

#include "stream/result_set.h"
#include "ui/forms/control_classes.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

class QTabWidget;
class QWidget;

namespace corvane::ui {

enum class ResultFileDialog { Save, Open };

// Asks for the name of a result set with the settings of a file dialog of the window description;
// returns the chosen name, or an empty text when the user cancels.
using ResultFileChooser =
    std::function<QString(QWidget* parent, ResultFileDialog dialog, const FileDialogSettings& settings)>;

// Puts `chooser` in place of the file dialogs and returns what was in place; an empty function
// brings the file dialogs back. For tests.
ResultFileChooser setResultFileChooser(ResultFileChooser chooser);

// Asks through the chooser in place: by default a QFileDialog with the default extension and filter
// of `settings`, which replaces a file without asking and, for Open too, takes a name that does not
// exist (opening it then fails with its message).
QString chooseResultFile(QWidget* parent, ResultFileDialog dialog, const FileDialogSettings& settings);

// A result file written through QSaveFile: the data goes to a temporary file beside PATH, which
// takes PATH's place on commit, so a full disk or a failed write leaves an older PATH whole. Throws
// Error("Cannot create file "PATH". REASON") when it cannot be created.
std::unique_ptr<stream::ResultFileOutput> createResultFile(const std::string& path);

// The file name as the stream's texts and the file system take it.
std::string fileNameBytes(const QString& name);

// Gives every page of `tabs` the size of the page shown. A page that has never been shown keeps
// the size it was created with until then, and the bounds saved of a control on it would depend on
// which pages the user happened to look at.
void layOutAllPages(QTabWidget* tabs);

} // namespace corvane::ui
