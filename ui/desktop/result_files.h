#pragma once

// What the main window's File > Save and File > Open need besides the result set's steps and the
// files it is written to (qtcore/saved_result_file.h): the file dialogs that choose a set's name
// (replaceable, so that tests need no dialog).

#include "ui/forms/control_classes.h"

#include <QString>
#include <functional>
#include <string>
#include <utility>

class QTabWidget;
class QWidget;

namespace corvane::ui {

// Save and Open ask for a result set; Export for a file to save the groups in, whose default
// extension follows the filter chosen (the filters' first pattern, "*.EXT").
enum class ResultFileDialog { Save, Open, Export };

// What the user chose in a file dialog: the name (empty when the user cancelled) and the filter
// in force when the dialog closed, counted from 0 in the settings' filter text.
struct ChosenFile {
    // A name alone is one chosen under the first filter (a chooser that knows of no filters).
    ChosenFile(QString chosenName = {}, int chosenFilter = 0)
        : name(std::move(chosenName)), filter(chosenFilter) {}
    QString name;
    int filter = 0;
};

// Asks for the name of a result set with the settings of a file dialog of the window description.
using ResultFileChooser =
    std::function<ChosenFile(QWidget* parent, ResultFileDialog dialog, const FileDialogSettings& settings)>;

// Puts `chooser` in place of the file dialogs and returns what was in place; an empty function
// brings the file dialogs back. For tests.
ResultFileChooser setResultFileChooser(ResultFileChooser chooser);

// Asks through the chooser in place: by default a QFileDialog with the default extension and filter
// of `settings`, which replaces a file without asking and, for Open too, takes a name that does not
// exist (opening it then fails with its message). The dialog gives a name without an extension
// the default one, for Export that of the filter chosen.
ChosenFile chooseResultFile(QWidget* parent, ResultFileDialog dialog, const FileDialogSettings& settings);

// The file name as the stream's texts and the file system take it.
std::string fileNameBytes(const QString& name);

// Gives every page of `tabs` the size of the page shown. A page that has never been shown keeps
// the size it was created with until then, and the bounds saved of a control on it would depend on
// which pages the user happened to look at.
void layOutAllPages(QTabWidget* tabs);

} // namespace corvane::ui
