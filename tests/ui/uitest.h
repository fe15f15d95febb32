#pragma once

// What the window tests share: FakePrompts, which answers every modal box from a script and
// records what was asked; WhenUp, which acts on a real modal box once it is up; Snapshot, a
// window's controls as text, compared with copies in tests/data/ui; PdfPages, which reads a
// printed PDF back. It brings the Qt modules the tests use.
#include "session/startup.h"
#include "tests/support/testsupport.h"
#include "ui/prompts.h"

#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>

namespace throngkit::test {

// Records every call as one line, "<method> <the parent's name, or ->: <texts passed, joined by |>"
// (a message: "notice" or "failure" for the method), so that a test compares them all at once.
class FakePrompts final : public Prompts
{
public:
    QStringList calls;
    QList<std::optional<QString>> textAnswers, fileAnswers;   // Cancel when none is left
    int fileType = 0;                                         // the type each file is saved as
    std::function<void(QDialog &)> whileShown;                // acts in a showModal dialog
    std::function<std::optional<int>(const QString &choices, const QString &title)> pickAnswer;   // unset: closed
    // Sets up the printer (a PDF file, say) and answers OK or Cancel; unset: Cancel.
    std::function<bool(QPrinter &printer)> printAnswer;

    void message(QWidget *parent, const QString &text, MessageKind kind) override { log(kind == MessageKind::Notice ? "notice" : "failure", parent, text); }
    std::optional<QString> askText(QWidget *parent, const QString &caption, const QString &prompt, const QString &preset) override
    {
        log("askText", parent, caption + "|" + prompt + "|" + preset);
        return next(textAnswers);
    }
    std::optional<SavedAs> saveFileName(QWidget *parent, const QList<FileType> &types, const QString &name) override
    {
        QStringList offered;
        for (const FileType &type : types)
            offered << type.filter + "|" + name + "|" + type.extension;
        log("saveFileName", parent, offered.join(";"));
        const std::optional<QString> chosen = next(fileAnswers);
        return chosen ? std::optional(SavedAs{*chosen, fileType}) : std::nullopt;
    }
    std::optional<int> pickFromList(QWidget *parent, const QString &choiceText, const QString &title, const QString &note) override
    {
        log("pickFromList", parent, choiceText + "|" + title + (note.isEmpty() ? "" : "|" + note));
        return pickAnswer ? pickAnswer(choiceText, title) : std::nullopt;
    }
    bool printSetup(QWidget *parent, QPrinter &printer) override
    {
        log("printSetup", parent, {});
        return printAnswer && printAnswer(printer);
    }
    // Shown without a nested event loop, and left as the test's actions left it.
    void showModal(QDialog &dialog) override
    {
        log("showModal", dialog.parentWidget(), dialog.objectName());
        dialog.show();
        if (whileShown)
            whileShown(dialog);
    }

private:
    void log(const char *method, QWidget *parent, const QString &text)
    {
        calls << QString(method) + " " + (parent ? parent->objectName() : "-") + (text.isNull() ? "" : ": " + text);
    }
    static std::optional<QString> next(QList<std::optional<QString>> &answers) { return answers.isEmpty() ? std::nullopt : answers.takeFirst(); }
};

// Runs act on the modal box of type Box once it is up; one that never came up is closed so that
// the test fails instead of hanging.
template <typename Box>
void WhenUp(const std::function<void(Box &)> &act)
{
    QTimer::singleShot(0, qApp, [act] {
        if (auto *box = qobject_cast<Box *>(QApplication::activeModalWidget()))
            return act(*box);
        ADD_FAILURE() << "no box of the expected kind is up";
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
}

// The window as its user meets it: its title, size and font, then one line for every named
// control (Qt's own parts left out): where it lies in its parent, what it says, its state, and
// a font of another face than the window's; last the tab order. Sizes are the design's twips in
// pixels, so they do not depend on the fonts installed.
inline QString Snapshot(QWidget &window)
{
    const auto face = [](const QFont &font) {
        return font.families().join(u',') + (font.pixelSize() > 0 ? QString(" %1px").arg(font.pixelSize())
                                                                   : QString(" %1pt").arg(font.pointSizeF()))
            + (font.bold() ? " bold" : "");
    };
    QStringList lines{QString("%1 %2 \"%3\" %4x%5%6 %7").arg(window.metaObject()->className(), window.objectName(),
        window.windowTitle()).arg(window.width()).arg(window.height())
        .arg(QString(window.minimumSize() == window.maximumSize() ? " fixed" : "") + (window.findChild<QSizeGrip *>() ? " grip" : ""),
             face(window.font()))};
    const auto named = [&](QWidget *w) { return w->window() == &window && !w->objectName().isEmpty()
                                                && !w->objectName().startsWith("qt_"); };
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (!named(w))
            continue;
        if (!w->isVisibleTo(&window)) {   // what it would show is nobody's business
            lines << QString("%1/%2 %3 hidden").arg(w->parentWidget()->objectName(), w->objectName(), w->metaObject()->className());
            continue;
        }
        // A label's, a line box's or a button's text, a frame's title, a list's entries...
        QString text = w->property(qobject_cast<QGroupBox *>(w) ? "title" : qobject_cast<QPlainTextEdit *>(w) ? "plainText" : "text").toString();
        if (auto *button = qobject_cast<QAbstractButton *>(w); button && button->isChecked())
            text += " [x]";
        else if (auto *bar = qobject_cast<QScrollBar *>(w)) text = QString("%1..%2 at %3").arg(bar->minimum()).arg(bar->maximum()).arg(bar->value());
        else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                text += (i == combo->currentIndex() ? "[" + combo->itemText(i) + "]" : combo->itemText(i)) + "|";
        }
        const QRect g = w->geometry();
        lines << QString("%1/%2 %3 %4,%5 %6x%7 \"%8\"%9%10%11").arg(w->parentWidget()->objectName(), w->objectName(),
            w->metaObject()->className()).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()).arg(text,
            w->isEnabled() ? "" : " disabled",
            w->accessibleName().isEmpty() ? "" : " named \"" + w->accessibleName() + "\"",
            w->font().families() == window.font().families() ? "" : " " + face(w->font()));
    }
    QStringList tabs;
    for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
        if (named(w) && (w->focusPolicy() & Qt::TabFocus) && !tabs.contains(w->objectName()))
            tabs << w->objectName();
    return (lines << "tab " + tabs.join(u' ')).join(u'\n') + "\n";
}

// The text equals tests/data/ui/<name>.txt, the texts of substitutes put back for their
// placeholders ("{title}": the settings' Title, which carries the version).
inline void ExpectGolden(const QString &text, const QString &name, const QList<std::pair<QString, QString>> &substitutes = {})
{
    QString expected = QString::fromUtf8(ReadTestData("ui/" + name + ".txt"));
    for (const auto &[placeholder, replacement] : substitutes)
        expected.replace(placeholder, replacement);
    EXPECT_EQ(text, expected) << name.toStdString();
}

// The text pdftotext reads from a PDF with the options given.
inline QString PdfText(const QString &pdf, QStringList options)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", options << pdf << "-");
    EXPECT_TRUE(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0)
        << pdftotext.readAllStandardError().toStdString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// Each page's non-empty lines, blank runs squeezed (pdftotext spaces columns by position).
inline QList<QStringList> PdfPages(const QString &pdf)
{
    QList<QStringList> pages;
    for (const QString &page : PdfText(pdf, {"-layout"}).split(u'\f', Qt::SkipEmptyParts)) {
        pages << page.split(u'\n');
        for (QString &line : pages.last())
            line = line.simplified();
        pages.last().removeAll(QString());
    }
    return pages;
}

} // namespace throngkit::test
