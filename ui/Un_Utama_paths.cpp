// The main window's search path list: adding, editing and deleting paths with the path dialog.

#include "ui/Un_Add.h"
#include "ui/Un_Utama.h"
#include "ui/list_controls_qt.h"
#include "ui/message_dialog.h"
#include "ui/search_path_list.h"
#include "ui/windows.h"

#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

namespace {

constexpr const char* kAddTitle = "Add Search Path...";
constexpr const char* kEditTitle = "Edit Search Path...";
constexpr const char* kAllFiles = "*.*";

// The path buttons follow the row count. A running search keeps Bit_Search, which is then its
// only way to stop, whatever happens to the list it has already copied.
void updatePathButtons(Tfrm_utama& window) {
    const bool hasRows = window.ListView1->listModel()->count() > 0;
    const bool searching = window.Bit_Search->text() != QLatin1String(Tfrm_utama::kStartSearch);
    window.Bit_Search->setEnabled(hasRows || searching);
    window.Bit_Del->setEnabled(hasRows);
    window.Bit_edit->setEnabled(hasRows);
}

} // namespace

void Tfrm_utama::Bit_AddClick(QObject*) {
    frm_add->setPathBytes({});
    frm_add->setPatternBytes({});
    frm_add->setWindowTitle(QLatin1String(kAddTitle));
    frm_add->btn_ok->setText(QLatin1String(Tfrm_add::kAddCaption));
    frm_add->setPatternBytes(kAllFiles);
    frm_add->exec();
    updatePathButtons(*this);
}

void Tfrm_utama::Bit_editClick(QObject*) {
    const int row = selectedRow(*ListView1);
    if (row < 0) {
        MessageDialog(MessageKind::Warning, QStringLiteral("Select a Search Path to Edit."), this);
        return;
    }
    const ListRow& entry = ListView1->listModel()->row(row);
    frm_add->setPathBytes(entry.caption());
    frm_add->setPatternBytes(entry.subItemText(0));
    frm_add->setWindowTitle(QLatin1String(kEditTitle));
    frm_add->btn_ok->setText(QLatin1String(Tfrm_add::kSaveCaption));
    frm_add->exec();
}

void Tfrm_utama::Bit_DelClick(QObject*) {
    const int row = selectedRow(*ListView1);
    if (row < 0) {
        MessageDialog(MessageKind::Warning, QStringLiteral("Select a Search Path to Delete."), this);
        return;
    }
    ListView1->listModel()->removeRows(row, 1);
    updatePathButtons(*this);
}

} // namespace corvane::ui
