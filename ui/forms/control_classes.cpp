// The registry of the control classes, put together from their families (control_families.h),
// and the pictures and fonts the controls use.

#include "ui/forms/control_classes.h"

#include "ui/forms/control_families.h"

#include <QFile>
#include <QFont>
#include <QIcon>

namespace corvane::ui {

namespace {

const ControlClassSet& classSet() {
    static ControlClassSet classes;
    static const bool declared = [] {
        declareFontAndControlClasses(classes);
        declareButtonAndLabelClasses(classes);
        declareEditClasses(classes);
        declareContainerAndBarClasses(classes);
        declareMenuAndDialogClasses(classes);
        declareListViewClasses(classes);
        return true;
    }();
    (void)declared;
    return classes;
}

} // namespace

const stream::ClassRegistry& controlClasses() {
    return classSet().registry;
}

const stream::ClassInfo& fontClass() {
    return *classSet().font;
}

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans Condensed"),
                                QStringLiteral("Liberation Sans Narrow"),
                                QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")});
}

QIcon pictureIcon(const QString& name) {
    const QString path = ":/pictures/" + name + ".svg";
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

} // namespace corvane::ui
