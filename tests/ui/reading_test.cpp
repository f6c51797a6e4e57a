// The windows as they read: cut cells show their whole text as a tooltip, columns can be sized,
// separators are lines, the tick is a check state that assistive technology reads, the layout
// grows with the desktop's font, and the German translation shows and fits.

#include "window_fixture.h"

#include "ui/desktop/translations.h"
#include "ui/forms/layout_scale.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/window_texts.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

// Failures show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace corvane::testing {
namespace {

const std::string kLongPath = "/srv/archive/" + std::string(60, 'x') + "/photos/2024/summer/IMG_0001.jpg";

class Reading : public WindowFixture {};

TEST_F(Reading, ACutCellShowsItsWholeTextAsTooltip) {
    ui::ListViewWidget& list = *probe().searchPathList();
    addSearchPath(kLongPath, "*.jpg;*.txt;*.png;*.gif;*.tif;*.bmp;*.raw;*.heic;*.webp;*.svg;*.pdf");
    addSearchPath("/srv/a", "*.*");
    list.fitColumns();
    const auto cell = [&](int row, int column) {
        return list.visualRect(list.listModel()->index(row, column)).center();
    };
    EXPECT_EQ(list.cutTextAt(cell(0, 0)).toStdString(), kLongPath);
    EXPECT_EQ(list.cutTextAt(cell(1, 0)), "") << "a text shown whole has no tooltip";
    EXPECT_EQ(list.cutTextAt(cell(1, 1)), "");
    EXPECT_EQ(list.cutTextAt(cell(0, 1)),
              "*.jpg;*.txt;*.png;*.gif;*.tif;*.bmp;*.raw;*.heic;*.webp;*.svg;*.pdf");

    // As the view shows it when the mouse rests on the cell.
    QHelpEvent help(QEvent::ToolTip, cell(0, 0), list.viewport()->mapToGlobal(cell(0, 0)));
    QApplication::sendEvent(list.viewport(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(), kLongPath);
    QToolTip::hideText();

    // The tree, whose nodes are paths too.
    ui::TreeViewWidget& tree = *probe().duplicateTree();
    tree.treeModel()->appendGroup(kLongPath, {"/srv/b"});
    tree.expandAll();
    const QModelIndex group = tree.treeModel()->index(0, 0);
    EXPECT_EQ(tree.cutTextAt(tree.visualRect(group).center()).toStdString(), kLongPath);
    EXPECT_EQ(tree.cutTextAt(tree.visualRect(tree.treeModel()->index(0, 0, group)).center()), "");
}

TEST_F(Reading, ThePathListsColumnsFitTheirTextsAndCanBeSized) {
    ui::ListViewWidget& list = *probe().searchPathList();
    QHeaderView* header = list.horizontalHeader();
    addSearchPath("/srv/a", "*.jpg;*.txt");
    list.fitColumns();
    // The patterns show whole; the path takes the rest of the list.
    EXPECT_EQ(list.cutTextAt(list.visualRect(list.listModel()->index(0, 1)).center()), "");
    EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1), list.viewport()->width());
    for (int column = 0; column < 2; ++column) {
        EXPECT_EQ(header->sectionResizeMode(column), QHeaderView::Interactive);
    }
    // Once the user has sized a column, new rows leave the sizes alone.
    header->resizeSection(1, 200);
    addSearchPath("/srv/b", "*.*");
    list.fitColumns();
    EXPECT_EQ(header->sectionSize(1), 200);
}

TEST_F(Reading, SeparatorsAreLinesWithoutText) {
    auto* bar = qobject_cast<QMenuBar*>(main().menuWidget());
    ASSERT_NE(bar, nullptr);
    int separators = 0;
    for (QAction* title : bar->actions()) {
        for (QAction* item : title->menu()->actions()) {
            if (item->isSeparator()) {
                ++separators;
                EXPECT_EQ(item->text(), "");
            } else {
                EXPECT_NE(item->text(), "-");
            }
        }
    }
    // The description's two, and the Edit menu's between Undo and the actions.
    EXPECT_EQ(separators, 3);
}

TEST_F(Reading, AssistiveTechnologyReadsTheTick) {
    ui::TreeViewWidget& tree = *probe().duplicateTree();
    const QModelIndex group = tree.treeModel()->appendGroup("/srv/a", {"/srv/b"});
    tree.expandAll();
    tree.treeModel()->setStateIndex(tree.treeModel()->index(0, 0, group), ui::kStateChecked);

    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&tree);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->text(QAccessible::Name), "Duplicate files");
    QAccessibleTableInterface* table = view->tableInterface();
    ASSERT_NE(table, nullptr);
    QAccessibleInterface* original = table->cellAt(0, 0);
    QAccessibleInterface* duplicate = table->cellAt(1, 0);
    ASSERT_NE(original, nullptr);
    ASSERT_NE(duplicate, nullptr);
    EXPECT_EQ(original->text(QAccessible::Name), "/srv/a");
    EXPECT_TRUE(original->state().checkable);
    EXPECT_FALSE(original->state().checked);
    EXPECT_TRUE(duplicate->state().checkable);
    EXPECT_TRUE(duplicate->state().checked);

    // A toggle shows at once.
    tree.treeModel()->ToggleCheckState(group, ui::kStateUnchecked, ui::kStateChecked, ui::kStateRadioOff,
                                       ui::kStateRadioOn);
    EXPECT_TRUE(table->cellAt(0, 0)->state().checked);
}

TEST_F(Reading, EveryControlHasANameAndTheButtonsTooltips) {
    ui::MainWindow& w = main();
    for (QWidget* control : std::initializer_list<QWidget*>{
             probe().searchPathList(), probe().duplicateTree(), probe().searchedFilesList(),
             probe().fileTypeField(), probe().locationField(), probe().sizeField(), probe().createdField(),
             probe().pages(), probe().statusBar()}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << control->objectName().toStdString();
    }
    // The fields are named by their labels.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(probe().locationField())->text(QAccessible::Name),
              "Location:");
    for (QPushButton* button : w.findChildren<QPushButton*>()) {
        if (button->window() == &w) {
            EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
            EXPECT_FALSE(button->accessibleDescription().isEmpty()) << button->objectName().toStdString();
            EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name),
                      ui::captionOf(button));
        }
    }
    for (QLineEdit* field : pathDialog().findChildren<QLineEdit*>()) {
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name).isEmpty());
    }
}

// ------------------------------------------------------------------------------------------------
// Windows built under another desktop font or language

// The program's windows built with `font` as the desktop's, and `setUp` run before.
class OtherWindows {
public:
    explicit OtherWindows(const QFont& font) : font_(QApplication::font()) {
        QApplication::setFont(font);
        windows_ = std::make_unique<ui::ProgramWindows>();
    }
    ~OtherWindows() {
        windows_.reset();
        QApplication::setFont(font_);
    }
    ui::ProgramWindows& operator*() { return *windows_; }

private:
    QFont font_;
    std::unique_ptr<ui::ProgramWindows> windows_;
};

QFont desktopFont(int points) {
    QFont font = QApplication::font();
    font.setPointSize(points);
    return font;
}

// How far the text of a button reaches past its room (0 or less: it fits).
int buttonOverflow(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    const QRect room = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    int needed = button.fontMetrics().horizontalAdvance(ui::withoutMnemonic(button.text()));
    if (!button.icon().isNull()) {
        needed += button.iconSize().width() + 4;
    }
    return needed - room.width();
}

// Every text of a window has the room it needs: buttons, labels, group box titles, tabs; and the
// window is within the screen.
void expectTextsFit(QWidget& window) {
    window.show();
    QApplication::processEvents();
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->window() == &window && !button->text().isEmpty()) {
            EXPECT_LE(buttonOverflow(*button), 0) << button->text().toStdString();
        }
    }
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->window() == &window && label->isVisibleTo(&window) && !label->wordWrap()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(ui::withoutMnemonic(label->text())),
                      label->width())
                << label->text().toStdString();
            EXPECT_LE(label->geometry().right(), label->parentWidget()->width())
                << label->text().toStdString();
        }
    }
    for (QGroupBox* box : window.findChildren<QGroupBox*>()) {
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->title()) + 20, box->width());
    }
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        const QTabBar* bar = tabs->tabBar();
        EXPECT_LE(bar->tabRect(bar->count() - 1).right(), tabs->width());
        for (int i = 0; i < bar->count(); ++i) {
            EXPECT_GE(bar->tabRect(i).width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i)));
        }
    }
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_LE(window.frameGeometry().width(), screen.width());
    EXPECT_LE(window.frameGeometry().height(), screen.height());
    window.hide();
}

TEST(OtherDesktops, ALargerFontMakesAProportionallyLargerWindow) {
    const QSize designed = [] {
        OtherWindows windows(desktopFont(8));
        return (*windows).mainWindow().size();
    }();
    OtherWindows windows(desktopFont(16));
    ui::MainWindow& w = (*windows).mainWindow();
    const ui::MainWindowProbe probe(w);
    const double factor = ui::layoutScale(&w);
    EXPECT_NEAR(factor, QFontMetricsF(desktopFont(16)).height() / 13, 0.01) << "the line heights' ratio";
    EXPECT_GT(factor, 1.8);
    EXPECT_NEAR(w.width(), designed.width() * factor, 2);
    // The menu bar grows with the desktop's font; the rest with the factor.
    EXPECT_NEAR(w.centralWidget()->height(), 621 * factor, 2);
    EXPECT_NEAR(probe.searchButton()->width(), 95 * factor, 1);
    EXPECT_NEAR(probe.searchButton()->font().pixelSize(), 11 * factor, 1);
    EXPECT_GE(probe.searchButton()->iconSize().width(), 16 * factor - 1);
    // Saved bounds stay the description's.
    EXPECT_EQ(probe.searchPathList()->placement().width, 393);
    expectTextsFit(w);
    expectTextsFit((*windows).pathDialog());
    expectTextsFit((*windows).aboutWindow());
}

TEST(OtherDesktops, AWindowLargerThanTheScreenIsMadeToFit) {
    OtherWindows windows(desktopFont(48));
    ui::MainWindow& w = (*windows).mainWindow();
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    EXPECT_GT(ui::layoutScale(&w) * 675, screen.height()) << "the test wants a window taller than the screen";
    EXPECT_LE(w.height(), screen.height());
    EXPECT_LE(w.width(), screen.width());
    EXPECT_LE(w.minimumHeight(), screen.height());
    // The controls keep the least size their layout allows, in a scrolled area.
    auto* scrolled = qobject_cast<QScrollArea*>(w.centralWidget());
    ASSERT_NE(scrolled, nullptr);
    EXPECT_EQ(scrolled->widget(), w.clientArea());
    EXPECT_GT(w.clientArea()->minimumHeight(), screen.height());
}

TEST(OtherDesktops, TheGermanTranslationShowsAndFits) {
    ASSERT_TRUE(ui::installTranslations(QLocale(QLocale::German, QLocale::Germany)));
    {
        OtherWindows windows(desktopFont(8));
        ui::MainWindow& w = (*windows).mainWindow();
        const ui::MainWindowProbe probe(w);
        EXPECT_EQ(ui::withoutMnemonic(probe.searchButton()->text()), "Suchen");
        EXPECT_EQ(ui::captionOf(probe.searchButton()), "Start Search")
            << "the state stays the English caption";
        EXPECT_EQ(ui::withoutMnemonic(probe.addPathButton()->text()), "Hinzufügen");
        EXPECT_EQ(probe.pages()->tabText(0), "Duplikate");
        EXPECT_EQ(probe.fileInfoBox()->title(), "Dateiinformationen");
        EXPECT_EQ(probe.searchPathList()->model()->headerData(0, Qt::Horizontal).toString(), "Pfad");
        EXPECT_EQ(probe.searchPathList()->columns()[0].caption, "Path")
            << "a result file keeps the English caption";
        auto* bar = qobject_cast<QMenuBar*>(w.menuWidget());
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(ui::withoutMnemonic(bar->actions().at(0)->text()), "Datei");
        EXPECT_EQ((*windows).pathDialog().windowTitle(), "Suchpfad hinzufügen...");
        EXPECT_EQ((*windows).aboutWindow().windowTitle(), "Über");
        // Qt's own texts: the standard buttons.
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(ui::withoutMnemonic(box.button(QMessageBox::Cancel)->text()), "Abbrechen");

        expectTextsFit(w);
        expectTextsFit((*windows).pathDialog());
        expectTextsFit((*windows).deleteDialog());
        expectTextsFit((*windows).aboutWindow());
    }
    ui::removeTranslations();
    OtherWindows english(desktopFont(8));
    EXPECT_EQ(ui::MainWindowProbe((*english).mainWindow()).searchButton()->text(), "&Start Search")
        << "English again";
}

} // namespace
} // namespace corvane::testing
