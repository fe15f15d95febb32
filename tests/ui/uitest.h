#pragma once

// What the window tests share: FakePrompts, which answers every modal box from a script and
// records what was asked; WhenUp, which acts on a real modal box once it is up; and PdfPages,
// which reads a printed PDF back.
#include "ui/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QPrinter>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <ostream>

// Readable failures: GoogleTest would print a QString's bytes.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace throngkit::test {

class FakePrompts final : public Prompts
{
public:
    struct Call
    {
        QString kind;        // "message", "askText", "saveFileName", "pickFromList",
                             // "printSetup", "showModal"
        QStringList texts;   // the texts passed, in parameter order (the dialog's object name)
        QWidget *parent = nullptr;
        MessageKind messageKind = MessageKind::Failure;   // of a "message"
    };

    std::vector<Call> calls;
    std::deque<std::optional<QString>> textAnswers;   // askText; Cancel when none is left
    std::deque<std::optional<QString>> fileAnswers;   // saveFileName; Cancel when none is left
    std::function<void(QDialog &)> whileShown;        // acts in a dialog shown by showModal
    // The pick list's answer to its choice text and title; 0 (closed) when unset.
    std::function<int(const QString &choiceText, const QString &title)> pickAnswer;
    // Sets up the printer (a PDF file, say) and answers OK or Cancel; Cancel when unset.
    std::function<bool(QWidget *parent, QPrinter &printer)> printAnswer;

    void message(QWidget *parent, const QString &text, MessageKind kind) override
    {
        calls.push_back({QStringLiteral("message"), {text}, parent, kind});
    }
    std::optional<QString> askText(QWidget *parent, const QString &caption, const QString &prompt,
                                   const QString &preset) override
    {
        calls.push_back({QStringLiteral("askText"), {caption, prompt, preset}, parent});
        return next(textAnswers);
    }
    std::optional<QString> saveFileName(QWidget *parent, const QString &filter,
                                        const QString &initialName,
                                        const QString &defaultExtension) override
    {
        calls.push_back(
            {QStringLiteral("saveFileName"), {filter, initialName, defaultExtension}, parent});
        return next(fileAnswers);
    }
    int pickFromList(QWidget *parent, const QString &choiceText, const QString &title) override
    {
        calls.push_back({QStringLiteral("pickFromList"), {choiceText, title}, parent});
        return pickAnswer ? pickAnswer(choiceText, title) : 0;
    }
    bool printSetup(QWidget *parent, QPrinter &printer) override
    {
        calls.push_back({QStringLiteral("printSetup"), {}, parent});
        return printAnswer ? printAnswer(parent, printer) : false;
    }
    // Shown without a nested event loop: the test acts through whileShown, and the dialog is
    // left as the test's actions left it (Exit hides it).
    void showModal(QDialog &dialog) override
    {
        calls.push_back({QStringLiteral("showModal"), {dialog.objectName()}, dialog.parentWidget()});
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
    QStringList messages() const { return of(QStringLiteral("message")); }
    qsizetype count(const QString &kind) const { return of(kind).size(); }

private:
    static std::optional<QString> next(std::deque<std::optional<QString>> &answers)
    {
        if (answers.empty())
            return std::nullopt;
        std::optional<QString> answer = answers.front();
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
        auto *box = qobject_cast<Box *>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no box of the expected kind is up";
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        act(*box);
    });
}

// Each page's non-empty lines, blank runs squeezed (pdftotext spaces columns by position).
inline QList<QStringList> PdfPages(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000)) << "pdftotext did not run";
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    QStringList texts = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    if (!texts.isEmpty() && texts.constLast().trimmed().isEmpty())
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
