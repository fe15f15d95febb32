#pragma once

// The listing window: the rabble's text listing, and its two save actions.
#include "listing/listingfiles.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
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

private:
    Settings &m_settings;
    Prompts &m_prompts;
    QLineEdit &m_headingBox;

    QPlainTextEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
};

} // namespace throngkit
