#include "ui/Un_About.h"

#include "ui/system_settings.h"

#include <QDesktopServices>
#include <QGuiApplication>
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

void fitToText(QLabel* label) {
    const QPoint topLeft = label->pos();
    label->adjustSize();
    label->move(topLeft);
}

} // namespace

Tfrm_about::Tfrm_about(QWidget* parent) : DialogForm(parent) {
    const auto on = [this](const char* name, void (Tfrm_about::*handler)(QObject*)) {
        addHandler(name, [this, handler](const EventArgs& args) { (this->*handler)(args.sender); });
    };
    on("FormShow", &Tfrm_about::FormShow);
    on("FormPaint", &Tfrm_about::FormPaint);
    on("Label6Click", &Tfrm_about::Label6Click);
    on("Label6MouseEnter", &Tfrm_about::Label6MouseEnter);
    on("Label6MouseLeave", &Tfrm_about::Label6MouseLeave);
    on("btn_closeClick", &Tfrm_about::btn_closeClick);
    load("Tfrm_about");
}

void Tfrm_about::descriptionLoaded() {
    Label1 = control<QLabel>("Label1");
    Label2 = control<QLabel>("Label2");
    Label3 = control<QLabel>("Label3");
    Label4 = control<QLabel>("Label4");
    Label5 = control<QLabel>("Label5");
    Label6 = control<QLabel>("Label6");
    btn_close = control<QPushButton>("btn_close");
    notice_ = Label3->text();
}

void Tfrm_about::FormShow(QObject*) {
    const SupportLinkSettings settings = readSupportLinkSettings();
    if (settings.showLink) {
        QString address = settings.address;
        if (address.isEmpty()) {
            const QString title = QGuiApplication::applicationDisplayName();
            address = QLatin1String("www.") + QString(title).remove(QLatin1Char(' ')) + QLatin1String(".com");
            Label1->setText(title);
            fitToText(Label1);
        }
        Label3->setText(notice_ + address);
        Label6->setText(QLatin1String("http://") + address);
        Label6->show();
        Label5->show();
        LinkShown = true;
    } else {
        Label3->setText(notice_);
        Label6->hide();
        Label5->hide();
        LinkShown = false;
    }
    fitToText(Label3);
    fitToText(Label6);
    update();
}

std::optional<QLine> Tfrm_about::linkUnderline() const {
    if (!LinkShown) {
        return std::nullopt;
    }
    const int y = LinkHovered ? kHoveredUnderlineY : kUnderlineY;
    // Both ends are drawn: the last pixel is the label's last column.
    return QLine(16, y, 16 + Label6->width() - 1, y);
}

QColor Tfrm_about::linkUnderlineColor() const {
    return LinkHovered ? QColor(Qt::blue) : QColor(Qt::black);
}

void Tfrm_about::FormPaint(QObject*) {
    QPainter painter(this);
    painter.setPen(QColor(Qt::black));
    painter.drawLine(kRule);
    if (const auto underline = linkUnderline()) {
        painter.setPen(linkUnderlineColor());
        painter.drawLine(*underline);
    }
}

void Tfrm_about::setLinkLook(int pixelSize, const QColor& color) {
    QFont font = Label6->font();
    font.setPixelSize(pixelSize);
    Label6->setFont(font);
    QPalette palette = Label6->palette();
    palette.setColor(QPalette::WindowText, color);
    Label6->setPalette(palette);
    fitToText(Label6);
    update();
}

void Tfrm_about::Label6MouseEnter(QObject*) {
    LinkHovered = true;
    setLinkLook(kHoveredLinkPixels, Qt::blue);
}

void Tfrm_about::Label6MouseLeave(QObject*) {
    LinkHovered = false;
    setLinkLook(kLinkPixels, Qt::black);
}

void Tfrm_about::Label6Click(QObject*) {
    QDesktopServices::openUrl(QUrl(Label6->text(), QUrl::TolerantMode));
}

void Tfrm_about::btn_closeClick(QObject*) {
    hide();
}

} // namespace corvane::ui
