#include "ui/forms/property_values.h"

#include <QPlainTextEdit>
#include <QWidget>

namespace corvane::ui {

const stream::IntegerNames& colorNames() {
    static const stream::IntegerNames names({
        {0x000000, "clBlack"},
        {0x000080, "clMaroon"},
        {0x008000, "clGreen"},
        {0x800000, "clNavy"},
        {0x808080, "clGray"},
        {0x0000FF, "clRed"},
        {0xFF0000, "clBlue"},
        {0xFFFFFF, "clWhite"},
        {static_cast<int32_t>(0x8000000F), "clBtnFace"},
        {static_cast<int32_t>(0x80000016), "cl3DLight"},
        {kClInactiveCaptionText, "clInactiveCaptionText"},
        {kClWindow, "clWindow"},
        {kClWindowText, "clWindowText"},
        {kClDefault, "clDefault"},
    });
    return names;
}

QColor colorOf(int32_t color, const QPalette& palette) {
    const auto value = static_cast<uint32_t>(color);
    if (value & 0x80000000u) {
        switch (value & 0xFF) {
        case 5: // window
            return palette.color(QPalette::Active, QPalette::Base);
        case 8: // window text
            return palette.color(QPalette::Active, QPalette::Text);
        case 15: // button face
            return palette.color(QPalette::Active, QPalette::Button);
        case 19: // inactive caption text: the greyed look of a control at work
            return palette.color(QPalette::Disabled, QPalette::Window);
        case 22: // 3D light
            return palette.color(QPalette::Active, QPalette::Midlight);
        default:
            return palette.color(QPalette::Active, QPalette::Window);
        }
    }
    if (color == kClDefault) {
        return palette.color(QPalette::Active, QPalette::Base);
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void setControlColor(QWidget* control, int32_t color) {
    control->setProperty("corvaneColor", color);
    QPalette palette = control->palette();
    const QColor c = colorOf(color, QPalette());
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, c);
    }
    control->setPalette(palette);
}

const stream::IntegerNames& cursorNames() {
    static const stream::IntegerNames names({
        {0, "crDefault"},
        {-2, "crArrow"},
        {-4, "crIBeam"},
        {-11, "crHourGlass"},
        {-21, "crHandPoint"},
    });
    return names;
}

QCursor cursorOf(int32_t cursor) {
    switch (cursor) {
    case -4:
        return Qt::IBeamCursor;
    case -11:
        return Qt::WaitCursor;
    case -21:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

const stream::EnumType& fontStyleType() {
    static const stream::EnumType type("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return type;
}

uint32_t fontStyleOf(const QFont& font) {
    return (font.bold() ? 1u : 0u) | (font.italic() ? 2u : 0u) | (font.underline() ? 4u : 0u) |
           (font.strikeOut() ? 8u : 0u);
}

void applyFontStyle(QFont& font, uint32_t style) {
    font.setBold(style & 1u);
    font.setItalic(style & 2u);
    font.setUnderline(style & 4u);
    font.setStrikeOut(style & 8u);
}

const stream::EnumType& alignmentType() {
    static const stream::EnumType type("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    return type;
}

int alignmentOf(Qt::Alignment alignment) {
    if (alignment & Qt::AlignRight) {
        return 1;
    }
    return (alignment & Qt::AlignHCenter) ? 2 : 0;
}

Qt::Alignment qtAlignment(int alignment) {
    switch (alignment) {
    case 1:
        return Qt::AlignRight;
    case 2:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

const stream::EnumType& scrollStyleType() {
    static const stream::EnumType type("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    return type;
}

int scrollStyleOf(const QPlainTextEdit& memo) {
    const bool horizontal = memo.horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const bool vertical = memo.verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    return (horizontal ? 1 : 0) | (vertical ? 2 : 0);
}

void applyScrollStyle(QPlainTextEdit& memo, int style) {
    memo.setHorizontalScrollBarPolicy((style & 1) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    memo.setVerticalScrollBarPolicy((style & 2) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

const stream::EnumType& openOptionType() {
    static const stream::EnumType type(
        "TOpenOption",
        {"ofReadOnly",         "ofOverwritePrompt",    "ofHideReadOnly",        "ofNoChangeDir",
         "ofShowHelp",         "ofNoValidate",         "ofAllowMultiSelect",    "ofExtensionDifferent",
         "ofPathMustExist",    "ofFileMustExist",      "ofCreatePrompt",        "ofShareAware",
         "ofNoReadOnlyReturn", "ofNoTestFileCreate",   "ofNoNetworkButton",     "ofNoLongNames",
         "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing",
         "ofDontAddToRecent",  "ofForceShowHidden"});
    return type;
}

} // namespace corvane::ui
