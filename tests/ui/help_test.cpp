// Help > Content: the help page in the program's own window, its links, the German page, and what
// the pages say of the keys, commands and options: every one that exists is named, and none that
// does not.

#include "window_fixture.h"

#include "app/command_line.h"
#include "support/program_run.h"
#include "ui/desktop/desktop_shell.h"
#include "ui/desktop/translations.h"
#include "ui/windows/help_window.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <set>

// Failures show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace corvane::testing {
namespace {

using Names = std::set<QString>;

// The pages the build puts beside the program, put beside the test for the time of a test.
class Help : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        folder_ = QDir(QCoreApplication::applicationDirPath()).filePath("help");
        ASSERT_FALSE(QFileInfo::exists(folder_)) << "left over: " << folder_.toStdString();
        ASSERT_TRUE(QDir().mkpath(folder_));
        for (const char* name : {"index.html", "index.de.html"}) {
            ASSERT_TRUE(QFile::copy(QDir(CORVANE_HELP_SOURCE).filePath(name), QDir(folder_).filePath(name)));
        }
        // Anything handed to the desktop would be caught here.
        services_ = ui::desktopServices();
        ui::desktopServices().openUrl = [this](const QUrl& url) {
            handedToDesktop_.push_back(url);
            return true;
        };
    }
    void TearDown() override {
        ui::desktopServices() = services_;
        QDir(folder_).removeRecursively();
        WindowFixture::TearDown();
    }

    // The text of a page, as the help window shows it.
    static QString pageText(const QString& name) {
        QFile file(QDir(CORVANE_HELP_SOURCE).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        return document.toPlainText();
    }

    ui::HelpWindow* openHelp() {
        main().activateWindow();
        QTest::keyClick(&main(), Qt::Key_F1);
        ui::HelpWindow* help = probe().helpWindow();
        EXPECT_NE(help, nullptr);
        return help;
    }

    // The keys the main window binds as shortcuts: its menus' and its own.
    Names shortcuts() {
        Names keys;
        const auto add = [&keys](const QKeySequence& sequence) {
            if (!sequence.isEmpty()) {
                keys.insert(sequence.toString(QKeySequence::PortableText));
            }
        };
        for (QAction* action : main().findChildren<QAction*>()) {
            for (const QKeySequence& sequence : action->shortcuts()) {
                add(sequence);
            }
        }
        for (QShortcut* shortcut : main().findChildren<QShortcut*>()) {
            if (auto* owner = qobject_cast<QWidget*>(shortcut->parent());
                owner && owner->window() == &main()) {
                add(shortcut->key());
            }
        }
        return keys;
    }

    // What the command lines take: corvane-cli's commands and every option of every command, and
    // the window's own options.
    struct CommandLines {
        Names commands;
        Names options;
    };
    static CommandLines commandLines() {
        CommandLines found;
        const ProgramRun overview = runProgram(CORVANE_CLI_PATH, {"--help"});
        EXPECT_EQ(overview.status, 0);
        bool inCommands = false;
        for (const QString& line : QString::fromStdString(overview.out).split('\n')) {
            if (line == "Commands:") {
                inCommands = true;
            } else if (inCommands && line.isEmpty()) {
                inCommands = false;
            } else if (inCommands && QRegularExpression("^  [a-z]").match(line).hasMatch()) {
                for (const QString& word : line.trimmed().split(' ')) {
                    if (QRegularExpression("^[a-z]+$").match(word).hasMatch()) {
                        found.commands.insert(word);
                    } else if (word != "|") {
                        break;
                    }
                }
            }
        }
        std::string texts = overview.out + app::helpText();
        for (const QString& command : found.commands) {
            const ProgramRun help = runProgram(CORVANE_CLI_PATH, {command.toStdString(), "--help"});
            EXPECT_EQ(help.status, 0) << command.toStdString();
            texts += help.out;
        }
        found.options = optionsIn(QString::fromStdString(texts));
        return found;
    }

    // The options a text names: words that start with one or two dashes, and "--" alone.
    static Names optionsIn(const QString& text) {
        Names options;
        static const QRegularExpression option(R"((?<![\w\-+])(--?[A-Za-z0-9][A-Za-z0-9-]*|--)(?![\w-]))");
        for (auto match = option.globalMatch(text); match.hasNext();) {
            options.insert(match.next().captured(1));
        }
        return options;
    }

    // The keys a page names as shortcuts: a letter or digit with Ctrl (Strg), Alt or Shift
    // (Umschalt), and function keys.
    static Names shortcutsIn(const QString& text) {
        Names keys;
        static const QRegularExpression key(
            R"(\b(?:(?:(?:Ctrl|Strg|Alt|Shift|Umschalt)\+)+[A-Z0-9]|F[0-9]{1,2})\b)");
        for (auto match = key.globalMatch(text); match.hasNext();) {
            keys.insert(match.next().captured(0).replace("Strg", "Ctrl").replace("Umschalt", "Shift"));
        }
        return keys;
    }

    // The part of a page about the command line: from its heading on.
    static QString commandLinePart(const QString& text, const QString& heading) {
        const qsizetype at = text.indexOf(heading);
        EXPECT_GE(at, 0) << heading.toStdString();
        return text.mid(at);
    }

    QString folder_;
    QList<QUrl> handedToDesktop_;

private:
    ui::DesktopServices services_;
};

TEST_F(Help, ContentShowsThePageInTheProgramsOwnWindow) {
    ui::HelpWindow* help = openHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->browser()->source().toLocalFile(), QDir(folder_).filePath("index.html"));
    EXPECT_EQ(help->windowTitle(), "Corvane Help");
    EXPECT_TRUE(handedToDesktop_.isEmpty()) << "no browser, no xdg-open";
    EXPECT_FALSE(help->browser()->toPlainText().isEmpty());

    // Esc closes it; F1 brings it back.
    QApplication::setActiveWindow(help);
    QTest::keyClick(help->browser(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(openHelp(), help);
    EXPECT_TRUE(help->isVisible());
    help->close();
}

// Every link of a page leads somewhere: an anchor of the page, or the other page beside it. The
// keyboard follows them: Tab to a link, Enter, and Alt+Left back.
TEST_F(Help, TheLinksOfBothPagesWork) {
    ui::HelpWindow* help = openHelp();
    ASSERT_NE(help, nullptr);
    QTextBrowser* browser = help->browser();
    for (const QString& page : {QString("index.html"), QString("index.de.html")}) {
        browser->setSource(QUrl::fromLocalFile(QDir(folder_).filePath(page)));
        QTextDocument* document = browser->document();
        Names anchors;
        QStringList links;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
                const QTextCharFormat format = fragment.fragment().charFormat();
                for (const QString& name : format.anchorNames()) {
                    anchors.insert(name);
                }
                if (format.isAnchor() && !format.anchorHref().isEmpty()) {
                    links << format.anchorHref();
                }
            }
        }
        ASSERT_GT(links.size(), 10) << page.toStdString();
        for (const QString& link : links) {
            const QUrl url(link);
            if (link.startsWith('#')) {
                EXPECT_TRUE(anchors.count(url.fragment()))
                    << page.toStdString() << ": " << link.toStdString();
            } else {
                EXPECT_TRUE(url.isRelative() && QFileInfo::exists(QDir(folder_).filePath(url.path())))
                    << page.toStdString() << ": " << link.toStdString();
            }
        }
    }

    // From the top of the English page: Tab to the first link (the other language), Enter.
    browser->setSource(QUrl::fromLocalFile(QDir(folder_).filePath("index.html")));
    QApplication::setActiveWindow(help);
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
    EXPECT_EQ(QFileInfo(browser->source().toLocalFile()).fileName(), "index.de.html");
    EXPECT_EQ(help->windowTitle(), "Corvane-Hilfe");
    QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(QFileInfo(browser->source().toLocalFile()).fileName(), "index.html");
    // The next link goes down the page, to its section.
    const int top = browser->verticalScrollBar()->value();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
    EXPECT_GT(browser->verticalScrollBar()->value(), top);
    EXPECT_TRUE(handedToDesktop_.isEmpty());
    help->close();
}

TEST_F(Help, InGermanTheGermanPage) {
    ASSERT_TRUE(ui::installTranslations(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(ui::programLanguage(), "de");
    ui::HelpWindow* help = openHelp();
    ui::removeTranslations();
    EXPECT_EQ(ui::programLanguage(), "");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(QFileInfo(help->browser()->source().toLocalFile()).fileName(), "index.de.html");
    EXPECT_EQ(help->windowTitle(), "Corvane-Hilfe");
    help->close();
}

// The pages name exactly the shortcuts, commands and options there are: a new one the page does
// not name fails here, as does one the page names that is gone.
TEST_F(Help, ThePagesNameEveryShortcutCommandAndOptionAndNoneThatIsNot) {
    const Names keys = shortcuts();
    ASSERT_TRUE(keys.count("Ctrl+S") && keys.count("F5")) << "the window's shortcuts were not found";
    const CommandLines lines = commandLines();
    ASSERT_TRUE(lines.commands.count("find") && lines.options.count("--keep-in"));
    for (const auto& [page, cliHeading] :
         {std::pair<QString, QString>{"index.html", "The command line: corvane-cli"},
          {"index.de.html", "Die Kommandozeile: corvane-cli"}}) {
        const QString text = pageText(page);
        const QString cli = commandLinePart(text, cliHeading);
        EXPECT_EQ(shortcutsIn(text), keys) << page.toStdString();
        for (const QString& command : lines.commands) {
            EXPECT_TRUE(cli.contains("corvane-cli " + command))
                << page.toStdString() << ": " << command.toStdString();
        }
        EXPECT_EQ(optionsIn(text), lines.options) << page.toStdString();
        EXPECT_TRUE(cli.contains("man corvane-cli")) << page.toStdString();
    }
}

} // namespace
} // namespace corvane::testing
