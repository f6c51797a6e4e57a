#include "ui/windows/help_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

QString text(const char* english) {
    return QCoreApplication::translate("HelpWindow", english);
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    // Only the page and the pages beside it: nothing is handed to another program.
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(true);
    browser_->setAccessibleName(text(QT_TRANSLATE_NOOP("HelpWindow", "Help page")));
    browser_->setAccessibleDescription(text(
        QT_TRANSLATE_NOOP("HelpWindow", "Tab moves from link to link and Enter follows one; Alt+Left goes "
                                        "back, Esc closes the window.")));
    setWindowTitle(text(QT_TRANSLATE_NOOP("HelpWindow", "Corvane Help")));
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        if (!browser_->documentTitle().isEmpty()) {
            setWindowTitle(browser_->documentTitle());
        }
    });
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::showPage(const QString& file) {
    if (!isVisible()) {
        // Lines of some 80 characters read best, and the examples of commands are up to 100 wide;
        // some 45 lines high. Never more than the screen's room.
        const QFontMetrics metrics(browser_->font());
        QSize size(metrics.horizontalAdvance(QLatin1Char('x')) * 105, metrics.lineSpacing() * 45);
        if (const QScreen* screen =
                parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
            size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
        }
        resize(size);
    }
    const QUrl page = QUrl::fromLocalFile(file);
    if (browser_->source() == page) {
        browser_->reload();
    } else {
        browser_->setSource(page);
    }
    show();
    raise();
    activateWindow();
    browser_->setFocus(Qt::OtherFocusReason);
}

} // namespace corvane::ui
