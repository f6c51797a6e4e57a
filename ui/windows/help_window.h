#pragma once

// The help page in a window of the program's own: a text browser over the installed page, so that
// Help > Content needs no web browser. Links within the page and to the pages beside it work; the
// window is modeless and stays beside the main window until it is closed (Esc or its close box).

#include <QWidget>

class QTextBrowser;

namespace corvane::ui {

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page `file` (a local HTML file), from its top, brings the window to the front and
    // gives the page the focus, so that the arrow keys scroll and Tab moves from link to link.
    void showPage(const QString& file);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

} // namespace corvane::ui
