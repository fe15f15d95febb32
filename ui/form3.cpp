#include "ui/form3.h"

#include "core/settings.h"
#include "listing/outputformats.h"
#include "ui/captionfit.h"
#include "ui/keyboard.h"
#include "ui/listingprinter.h"
#include "ui/prompts.h"
#include "ui/twips.h"

#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>

namespace throngkit {

namespace {

// The listing box fills the window below the button row, as designed: from 480 twips down, with
// the design's margins of 30 twips right and 60 below kept as the window grows.
constexpr int ListingTop = TwipsToPixels(480);
constexpr QMargins ListingGaps(0, 0, TwipsToPixels(7605 - 7575), TwipsToPixels(5355 - 480 - 4815));

// A name the user cannot have meant as a file: empty, or still holding the dialog's wildcard.
bool IsUsableFileName(const QString &path)
{
    const QString fileName = QFileInfo(path).fileName();
    return !fileName.isEmpty() && !IsFileNamePattern(fileName);
}

QString WithDefaultExtension(QString path, const QString &extension)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    if (path.endsWith(u'.'))
        path.chop(1);
    return path + extension;
}

} // namespace

Form3::Form3(Settings &settings, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts),
      m_heading(QString::fromUtf16(DefaultHeading))
{
    setObjectName(QStringLiteral("Form3"));
    setFont(DesignFont());
    setWindowTitle(m_settings.Title);
    // Opens at the designed size; a referee reading a long rabble makes it larger or maximises
    // it, and the listing box follows. The buttons keep their place. No size grip: it would sit
    // on the box's scroll bars.
    resize(TwipsSize(7605, 5355));
    setSizeGripEnabled(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    m_listingBox = new QPlainTextEdit(this);
    m_listingBox->setObjectName(QStringLiteral("Text1"));
    m_listingBox->setGeometry(Twips(0, 480, 7575, 4815));
    m_listingBox->setFont(ListingFont());
    m_listingBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_listingBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_listingBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_listingBox->setTabChangesFocus(true);
    m_listingBox->setPlainText(QStringLiteral("Text1"));
    m_listingBox->installEventFilter(this);

    const auto makeButton = [this](const char *name, const QString &caption, const QRect &rect) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(rect);
        button->setAutoDefault(false);
        return button;
    };
    m_exitButton = makeButton("Command1", QStringLiteral("E&xit"), Twips(0, 0, 735, 495));
    m_saveRblButton = makeButton("Command2", QStringLiteral("Save .&rbl"), Twips(840, 0, 735, 495));
    m_saveHtmButton = makeButton("Command3", QStringLiteral("Save .&htm"), Twips(1680, 0, 735, 495));
    m_printButton = makeButton("Command4", QStringLiteral("&Print"), Twips(2520, 0, 735, 495));
    // Beyond the design's four: the rabble for a virtual tabletop or a spreadsheet.
    m_exportButton = makeButton("Command5", QStringLiteral("&Export\u2026"), Twips(3360, 0, 735, 495));
    // Small enough for any screen, large enough for the button row (widened for a wide face)
    // and a few lines.
    setMinimumSize(TwipsSize(4800, 1440));

    setTabOrder(m_listingBox, m_exitButton);
    setTabOrder(m_exitButton, m_saveRblButton);
    setTabOrder(m_saveRblButton, m_saveHtmButton);
    setTabOrder(m_saveHtmButton, m_printButton);
    setTabOrder(m_printButton, m_exportButton);
    m_listingBox->setFocus();
    m_listingBox->setAccessibleName(QStringLiteral("Listing"));
    FitCaptions(*this);

    // Exit only hides the window, so Display shows the same text again. Closing it by the frame
    // (or Escape) goes through reject(), which hides it too: the listing is never lost.
    connect(m_exitButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_saveRblButton, &QPushButton::clicked, this,
            [this] { saveListingFile(OutputFormat::Rbl); });
    connect(m_saveHtmButton, &QPushButton::clicked, this,
            [this] { saveListingFile(OutputFormat::Htm); });
    connect(m_printButton, &QPushButton::clicked, this, &Form3::printListingText);
    connect(m_exportButton, &QPushButton::clicked, this, &Form3::exportRabble);
}

void Form3::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitCaptions(*this);
}

void Form3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The window is hidden, not closed, between showings: without this the focus would come
    // back where Exit left it, and Space would close the window again.
    m_listingBox->setFocus(Qt::OtherFocusReason);
}

void Form3::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_listingBox->setGeometry(QRect(0, ListingTop, width(), height() - ListingTop) - ListingGaps);
}

void Form3::keyPressEvent(QKeyEvent *event)
{
    if (!IsEnter(*event) || !PressFocusedButton(*this))
        QDialog::keyPressEvent(event);
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    // Enter does nothing to the listing: a referee reading it presses Enter by habit, and a
    // broken line would no longer line up under its header.
    if (watched == m_listingBox && event->type() == QEvent::KeyPress
        && IsEnter(*static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool Form3::refuseBeforeGeneration(const QString &action)
{
    if (m_settings.GeneratedSystem != GameSystem::None)
        return false;
    m_prompts.message(this, QStringLiteral("Nothing to %1 yet: press Generate first.").arg(action));
    return true;
}

void Form3::showListing(const QString &listing)
{
    m_listingBox->setPlainText(listing);
}

void Form3::setHeading(const QString &heading)
{
    m_heading = heading;
}

void Form3::AskHeading()
{
    if (m_heading != QStringView(DefaultHeading))
        return;
    const std::optional<QString> answer =
        m_prompts.askText(this, m_settings.Title, QStringLiteral("Give title for this listing"),
                          m_heading);
    if (answer && !answer->isEmpty()) {
        m_heading = *answer;
        emit headingChanged(m_heading);
    }
}

void Form3::saveListingFile(OutputFormat format)
{
    const QString pattern = u'*' + FormatInfo(format).extension.toString();
    saveAs(QStringLiteral("save"), {{format, pattern}}, pattern);
}

void Form3::exportRabble()
{
    saveAs(QStringLiteral("export"),
           {{OutputFormat::Foundry, QStringLiteral("Foundry VTT actors (*.json)")},
            {OutputFormat::Csv, QStringLiteral("CSV (*.csv)")},
            {OutputFormat::Json, QStringLiteral("JSON (*.json)")}},
           QString());
}

void Form3::saveAs(const QString &action, const QList<std::pair<OutputFormat, QString>> &formats,
                   const QString &initialName)
{
    // Checked before the heading question: asking for a heading of nothing would be a riddle.
    if (refuseBeforeGeneration(action))
        return;
    AskHeading();

    QList<FileType> types;
    for (const auto &[format, filter] : formats)
        types.append({filter, FormatInfo(format).extension.toString()});
    QString offered = initialName;
    for (;;) {
        const std::optional<SavedAs> chosen = m_prompts.saveFileName(this, types, offered);
        if (!chosen || !IsUsableFileName(chosen->fileName))
            return;   // Cancel: nothing is written, and nothing is said

        // The type chosen, not the name's extension, says the format: two of them are .json.
        // The rabble is written for the system that made it, whatever is selected now.
        const int type = std::clamp(chosen->type, 0, int(formats.size()) - 1);
        const QString path = WithDefaultExtension(chosen->fileName, types.at(type).extension);
        const RabbleOutput rabble{m_settings.GeneratedSystem, m_settings, m_heading, m_settings.GeneratedSeed};
        const Outcome saved = SaveOutput(formats.at(type).first, rabble, path);
        if (saved)
            return;
        // The dialog again with the same name, so that the referee mends the folder or the name
        // instead of starting over.
        m_prompts.message(this, saved.reason());
        offered = path;
    }
}

void Form3::printListingText()
{
    // As for the saves: a heading for the design-time "Text1" would be a riddle.
    if (refuseBeforeGeneration(QStringLiteral("print")))
        return;
    AskHeading();

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_heading.isEmpty() ? m_settings.Title : m_heading);
    if (!m_prompts.printSetup(this, printer))
        return;   // Cancel: nothing is printed, and nothing is said

    // Printed as the box holds it: what the user typed into it is what they asked to see.
    if (!printer.outputFileName().isEmpty()) {
        const Outcome printed =
            PrintListingToFile(printer, m_heading, m_listingBox->toPlainText(),
                               m_listingBox->font());
        if (!printed)
            m_prompts.message(this, printed.reason());
        return;
    }
    const Result<int> printed =
        PrintListing(printer, m_heading, m_listingBox->toPlainText(), m_listingBox->font());
    if (!printed)
        m_prompts.message(this, QStringLiteral("The listing could not be printed: %1.").arg(printed.reason()));
}

} // namespace throngkit
