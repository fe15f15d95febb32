#pragma once

// The listing window: the rabble's text listing, its two save actions and its printing.
#include "listing/listingfiles.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace throngkit {

struct Settings;
class Prompts;

class Form3 : public QDialog
{
    Q_OBJECT

public:
    // headingBox is the configuration window's Text5: AskHeading reads and may replace it, the
    // saves write under it.
    Form3(Settings &settings, Prompts &prompts, QLineEdit &headingBox, QWidget *parent = nullptr);

    // Replaces the whole listing shown.
    void ShowListing(const QString &listing);

    // While the heading box holds the default heading, asks for one; a non-empty answer
    // replaces it.
    void AskHeading();

    // The save actions of "Save .rbl" and "Save .htm".
    void SaveListingFile(FileFormat format);

    // The action of "Print": settles the heading as the saves do, then prints the listing as
    // the box holds it on the printer the print dialog sets up. Cancel prints nothing.
    void PrintListingText();

    // Sets up printer for the user and says whether to print; the platform's print dialog
    // unless replaced (tests print to a PDF file without one).
    using PrintSetup = std::function<bool(QWidget *parent, QPrinter &printer)>;
    void SetPrintSetup(PrintSetup setup);

protected:
    void changeEvent(QEvent *event) override;

private:
    // Says so and returns true while no rabble has been generated.
    bool refuseBeforeGeneration(const QString &action);

    Settings &m_settings;
    Prompts &m_prompts;
    QLineEdit &m_headingBox;

    QPlainTextEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
    PrintSetup m_printSetup;
};

} // namespace throngkit
