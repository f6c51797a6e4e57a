#include "ui/windows/about_window.h"

#include "ui/desktop/desktop_shell.h"
#include "ui/desktop/system_settings.h"
#include "ui/forms/layout_scale.h"
#include "ui/forms/message_dialog.h"
#include "ui/forms/window_texts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

namespace corvane::ui {

namespace {

// The link's look, in pixels at the descriptions' 96 pixels per inch: 8 point at rest, 10 point
// under the mouse.
constexpr int kLinkPixels = 11;
constexpr int kHoveredLinkPixels = 13;
// The underline runs just below the link label, which grows with the hovered font.
constexpr int kUnderlineY = 141;
constexpr int kHoveredUnderlineY = 144;

// The link from the keyboard: Tab reaches it and shows it as the mouse would (the hovered look is
// where the focus is), Enter or Space opens it.
class LinkKeys final : public QObject {
public:
    explicit LinkKeys(AboutWindow& window) : QObject(&window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::FocusIn:
            window_.linkEntered(watched);
            break;
        case QEvent::FocusOut:
            window_.linkLeft(watched);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                window_.linkClicked(watched);
                return true;
            }
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    AboutWindow& window_;
};

void fitToText(QLabel* label) {
    const QPoint topLeft = label->pos();
    label->adjustSize();
    label->move(topLeft);
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent) : DialogForm(parent) {
    const auto on = [this](const char* name, void (AboutWindow::*handler)(QObject*)) {
        addHandler(name, [this, handler](const EventArgs& args) { (this->*handler)(args.sender); });
    };
    on("FormShow", &AboutWindow::formShown);
    on("FormPaint", &AboutWindow::formPainted);
    on("Label6Click", &AboutWindow::linkClicked);
    on("Label6MouseEnter", &AboutWindow::linkEntered);
    on("Label6MouseLeave", &AboutWindow::linkLeft);
    on("btn_closeClick", &AboutWindow::closeClicked);
    load("Tfrm_about", "about_window");
}

void AboutWindow::descriptionLoaded() {
    productLabel_ = control<QLabel>("Label1");
    versionLabel_ = control<QLabel>("Label2");
    noticeLabel_ = control<QLabel>("Label3");
    trashNoteLabel_ = control<QLabel>("Label4");
    supportLabel_ = control<QLabel>("Label5");
    linkLabel_ = control<QLabel>("Label6");
    closeButton_ = control<QPushButton>("btn_close");
    notice_ = noticeLabel_->text();
    // Enter and Esc close the window.
    closeButton_->setDefault(true);
    linkLabel_->setFocusPolicy(Qt::TabFocus);
    linkLabel_->installEventFilter(new LinkKeys(*this));
    static constexpr ControlDescription kControlDescriptions[] = {
        {"Label6", QT_TRANSLATE_NOOP("frm_about", "Support link"),
         QT_TRANSLATE_NOOP("frm_about", "Opens the support web page in the browser")},
    };
    describeControls(*this, kControlDescriptions);
}

void AboutWindow::formShown(QObject*) {
    const SupportLinkSettings settings = readSupportLinkSettings();
    if (settings.showLink) {
        QString address = settings.address;
        if (address.isEmpty()) {
            const QString title = QGuiApplication::applicationDisplayName();
            address = QLatin1String("www.") + QString(title).remove(QLatin1Char(' ')) + QLatin1String(".com");
            productLabel_->setText(title);
            fitToText(productLabel_);
        }
        noticeLabel_->setText(notice_ + address);
        linkLabel_->setText(QLatin1String("http://") + address);
        linkLabel_->show();
        supportLabel_->show();
        linkShown_ = true;
    } else {
        noticeLabel_->setText(notice_);
        linkLabel_->hide();
        supportLabel_->hide();
        linkShown_ = false;
    }
    fitToText(noticeLabel_);
    fitToText(linkLabel_);
    // The focus starts on Close, the first control the description numbers: Enter closes, and the
    // link takes the focus only when Tab brings it there.
    closeButton_->setFocus(Qt::OtherFocusReason);
    update();
}

std::optional<QLine> AboutWindow::linkUnderline() const {
    if (!linkShown_) {
        return std::nullopt;
    }
    const int y = scaled(this, linkHovered_ ? kHoveredUnderlineY : kUnderlineY);
    const int left = scaled(this, 16);
    // Both ends are drawn: the last pixel is the label's last column.
    return QLine(left, y, left + linkLabel_->width() - 1, y);
}

QColor AboutWindow::linkUnderlineColor() const {
    return linkHovered_ ? QColor(Qt::blue) : QColor(Qt::black);
}

void AboutWindow::formPainted(QObject*) {
    QPainter painter(this);
    painter.setPen(QColor(Qt::black));
    const QLine rule = kRule;
    painter.drawLine(scaled(this, rule.x1()), scaled(this, rule.y1()), scaled(this, rule.x2()),
                     scaled(this, rule.y2()));
    if (const auto underline = linkUnderline()) {
        painter.setPen(linkUnderlineColor());
        painter.drawLine(*underline);
    }
}

void AboutWindow::setLinkLook(int pixelSize, const QColor& color) {
    QFont font = linkLabel_->font();
    font.setPixelSize(scaled(this, pixelSize));
    linkLabel_->setFont(font);
    QPalette palette = linkLabel_->palette();
    palette.setColor(QPalette::WindowText, color);
    linkLabel_->setPalette(palette);
    fitToText(linkLabel_);
    update();
}

void AboutWindow::linkEntered(QObject*) {
    linkHovered_ = true;
    setLinkLook(kHoveredLinkPixels, Qt::blue);
}

void AboutWindow::linkLeft(QObject*) {
    linkHovered_ = false;
    setLinkLook(kLinkPixels, Qt::black);
}

void AboutWindow::linkClicked(QObject*) {
    if (!desktopServices().openUrl(QUrl(linkLabel_->text(), QUrl::TolerantMode))) {
        MessageDialog(MessageKind::Warning,
                      QCoreApplication::translate("frm_about",
                                                  "The link \"%1\" cannot be opened: the desktop has "
                                                  "no web browser to open it with.")
                          .arg(linkLabel_->text()),
                      this);
    }
}

void AboutWindow::closeClicked(QObject*) {
    hide();
}

} // namespace corvane::ui
