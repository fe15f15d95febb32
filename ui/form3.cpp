#include "ui/form3.h"

#include "core/settings.h"
#include "core/startup.h"
#include "ui/captionfit.h"
#include "ui/listingprinter.h"
#include "ui/prompts.h"
#include "ui/twips.h"

#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <utility>

namespace throngkit {

namespace {

// A name the user cannot have meant as a file: empty, or still holding the dialog's wildcard.
bool IsUsableFileName(const QString &path)
{
    const QString fileName = QFileInfo(path).fileName();
    return !fileName.isEmpty() && !fileName.contains(u'*') && !fileName.contains(u'?');
}

QString WithDefaultExtension(QString path, const QString &extension)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    if (path.endsWith(u'.'))
        path.chop(1);
    return path + extension;
}

bool AskPrintDialog(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

Form3::Form3(Settings &settings, Prompts &prompts, QLineEdit &headingBox, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts), m_headingBox(headingBox),
      m_printSetup(AskPrintDialog)
{
    setObjectName(QStringLiteral("Form3"));
    setFont(DesignFont());
    setWindowTitle(m_settings.Title);
    setFixedSize(TwipsSize(7605, 5355));
    setSizeGripEnabled(false);

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(Twips(0, 480, 7575, 4815));
    m_text1->setFont(ListingFont());
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text1->setTabChangesFocus(true);
    m_text1->setPlainText(QStringLiteral("Text1"));

    const auto makeButton = [this](const char *name, const QString &caption, const QRect &rect) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(rect);
        button->setAutoDefault(false);
        return button;
    };
    m_command1 = makeButton("Command1", QStringLiteral("Exit"), Twips(0, 0, 735, 495));
    m_command2 = makeButton("Command2", QStringLiteral("Save .rbl"), Twips(840, 0, 735, 495));
    m_command3 = makeButton("Command3", QStringLiteral("Save .htm"), Twips(1680, 0, 735, 495));
    m_command4 = makeButton("Command4", QStringLiteral("Print"), Twips(2520, 0, 735, 495));

    setTabOrder(m_text1, m_command1);
    setTabOrder(m_command1, m_command2);
    setTabOrder(m_command2, m_command3);
    setTabOrder(m_command3, m_command4);
    m_text1->setFocus();
    m_text1->setAccessibleName(QStringLiteral("Listing"));
    FitCaptions(*this);

    // Exit only hides the window, so Display shows the same text again. Closing it by the frame
    // (or Escape) goes through reject(), which hides it too: the listing is never lost.
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_command2, &QPushButton::clicked, this, [this] { SaveListingFile(FileFormat::Rbl); });
    connect(m_command3, &QPushButton::clicked, this, [this] { SaveListingFile(FileFormat::Htm); });
    connect(m_command4, &QPushButton::clicked, this, &Form3::PrintListingText);
}

void Form3::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitCaptions(*this);
}

bool Form3::refuseBeforeGeneration(const QString &action)
{
    if (m_settings.GeneratedSystem != GameSystem::None)
        return false;
    m_prompts.message(this, QStringLiteral("Nothing to %1 yet: press Generate first.").arg(action));
    return true;
}

void Form3::ShowListing(const QString &listing)
{
    m_text1->setPlainText(listing);
}

void Form3::AskHeading()
{
    if (m_headingBox.text() != QStringView(DefaultHeading))
        return;
    const std::optional<QString> answer =
        m_prompts.askText(this, m_settings.Title, QStringLiteral("Give title for this listing"),
                          m_headingBox.text());
    if (answer && !answer->isEmpty())
        m_headingBox.setText(*answer);
}

void Form3::SaveListingFile(FileFormat format)
{
    // Checked before the heading question: asking for a heading of nothing would be a riddle.
    if (refuseBeforeGeneration(QStringLiteral("save")))
        return;
    const GameSystem system = m_settings.GeneratedSystem;

    AskHeading();

    const QString extension = format == FileFormat::Rbl ? QStringLiteral(".rbl")
                                                        : QStringLiteral(".htm");
    const QString pattern = u'*' + extension;
    const std::optional<QString> chosen =
        m_prompts.saveFileName(this, pattern, pattern, extension);
    if (!chosen || !IsUsableFileName(*chosen))
        return;   // Cancel: nothing is written, and nothing is said

    // The rabble is written by the writer of the system that made it, whatever is selected now.
    const Outcome saved = WriteListingFile(system, format, m_settings, m_headingBox.text(),
                                           WithDefaultExtension(*chosen, extension));
    if (!saved)
        m_prompts.message(this, saved.reason());
}

void Form3::SetPrintSetup(PrintSetup setup)
{
    m_printSetup = setup ? std::move(setup) : PrintSetup(AskPrintDialog);
}

void Form3::PrintListingText()
{
    // As for the saves: a heading for the design-time "Text1" would be a riddle.
    if (refuseBeforeGeneration(QStringLiteral("print")))
        return;
    AskHeading();

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_headingBox.text().isEmpty() ? m_settings.Title : m_headingBox.text());
    if (!m_printSetup(this, printer))
        return;   // Cancel: nothing is printed, and nothing is said

    // Printed as the box holds it: what the user typed into it is what they asked to see.
    if (!printer.outputFileName().isEmpty()) {
        const Outcome printed =
            PrintListingToFile(printer, m_headingBox.text(), m_text1->toPlainText(), m_text1->font());
        if (!printed)
            m_prompts.message(this, printed.reason());
        return;
    }
    if (PrintListing(printer, m_headingBox.text(), m_text1->toPlainText(), m_text1->font()) <= 0)
        m_prompts.message(this, QStringLiteral("The listing could not be printed."));
}

} // namespace throngkit
