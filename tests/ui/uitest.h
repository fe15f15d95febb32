#pragma once

// What the window tests share: FakePrompts, which answers every modal box from a script and
// records what was asked; WhenUp, which acts on a real modal box once it is up; and PdfPages,
// which reads a printed PDF back.
#include "ui/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

// Readable failures: GoogleTest would print a QString's bytes.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace throngkit::test {

class FakePrompts final : public Prompts
{
public:
    struct Call
    {
        QString kind;        // the method's name; "message", "askText"…
        QStringList texts;   // the texts passed, in parameter order (a dialog: its object name)
        QWidget *parent = nullptr;
        MessageKind messageKind = MessageKind::Failure;
    };
    std::vector<Call> calls;
    std::deque<std::optional<QString>> textAnswers, fileAnswers;   // Cancel when none is left
    std::function<void(QDialog &)> whileShown;                     // acts in a showModal dialog
    std::function<int(const QString &choices, const QString &title)> pickAnswer;   // unset: closed
    // Sets up the printer (a PDF file, say) and answers OK or Cancel; unset: Cancel.
    std::function<bool(QWidget *parent, QPrinter &printer)> printAnswer;

    void message(QWidget *parent, const QString &text, MessageKind kind) override
    {
        calls.push_back({"message", {text}, parent, kind});
    }
    std::optional<QString> askText(QWidget *parent, const QString &caption, const QString &prompt,
                                   const QString &preset) override
    {
        calls.push_back({"askText", {caption, prompt, preset}, parent});
        return next(textAnswers);
    }
    std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &initialName,
                                        const QString &defaultExtension) override
    {
        calls.push_back({"saveFileName", {filter, initialName, defaultExtension}, parent});
        return next(fileAnswers);
    }
    int pickFromList(QWidget *parent, const QString &choiceText, const QString &title) override
    {
        calls.push_back({"pickFromList", {choiceText, title}, parent});
        return pickAnswer ? pickAnswer(choiceText, title) : 0;
    }
    bool printSetup(QWidget *parent, QPrinter &printer) override
    {
        calls.push_back({"printSetup", {}, parent});
        return printAnswer && printAnswer(parent, printer);
    }
    // Shown without a nested event loop, and left as the test's actions left it.
    void showModal(QDialog &dialog) override
    {
        calls.push_back({"showModal", {dialog.objectName()}, dialog.parentWidget()});
        dialog.show();
        if (whileShown)
            whileShown(dialog);
    }

    QStringList of(const QString &kind) const
    {
        QStringList texts;
        for (const Call &call : calls)
            if (call.kind == kind)
                texts << call.texts.join(u'|');
        return texts;
    }
    QStringList messages() const { return of("message"); }
    qsizetype count(const QString &kind) const { return of(kind).size(); }

private:
    static std::optional<QString> next(std::deque<std::optional<QString>> &answers)
    {
        if (answers.empty())
            return std::nullopt;
        const std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
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

// Each page's non-empty lines, blank runs squeezed (pdftotext spaces columns by position).
inline QList<QStringList> PdfPages(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0)
        << pdftotext.readAllStandardError().toStdString();
    QStringList texts = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    if (texts.constLast().trimmed().isEmpty())
        texts.removeLast();
    QList<QStringList> pages;
    for (const QString &text : texts) {
        QStringList lines;
        for (const QString &line : text.split(u'\n'))
            if (!line.trimmed().isEmpty())
                lines << line.simplified();
        pages << lines;
    }
    return pages;
}

} // namespace throngkit::test
