// Reasons as the window shows them: the template translated, then the facts filled in, paths as the
// window shows names.

#include "platform/reason_texts.h"
#include "ui/desktop/translations.h"
#include "ui/views/shown_name.h"
#include "ui/views/shown_reason.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace corvane::ui {
namespace {

using platform::Reason;

TEST(ShownReason, EnglishIsTheTextTheCommandLinePrints) {
    removeTranslations();
    EXPECT_EQ(shownReason(Reason(kReasonOtherFileSystemThan, "/x/y")), "on another file system than /x/y");
    EXPECT_EQ(shownReason(Reason()), "");
    const Reason denied(kReasonTrashNotMade, "/media/stick/.Trash-1000", {}, EROFS);
    EXPECT_EQ(shownReason(denied), QString::fromStdString(denied.text()));
    // A name with a newline shows as the window shows names, never as two lines.
    const std::string odd("/x/a\nb");
    EXPECT_EQ(shownReason(Reason(kReasonAlreadyLinkedTo, odd)), "already a link to " + shownName(odd));
}

TEST(ShownReason, GermanShowsTheTranslatedTemplateWithTheFacts) {
    ASSERT_TRUE(installTranslations(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(shownReason(Reason(kReasonOtherFileSystemThan, "/x/y")),
              "auf einem anderen Dateisystem als /x/y");
    EXPECT_EQ(shownReason(Reason(kReasonKernelFoundDifference, "/x/y", "4096")),
              "der Kernel fand nach 4096 Bytes Bytes, die von /x/y abweichen")
        << "the facts go where the translation puts them";
    EXPECT_EQ(shownReason(Reason(kReasonCannotLinkTo, "/x/%2", {}, EACCES)),
              QStringLiteral("lässt sich nicht mit /x/%2 verknüpfen: ") +
                  QString::fromUtf8(std::strerror(EACCES)));
    EXPECT_EQ(shownReason(Reason(kReasonGone)), "nicht mehr vorhanden");
    removeTranslations();
    EXPECT_EQ(shownReason(Reason(kReasonGone)), "no longer there");
}

} // namespace
} // namespace corvane::ui
