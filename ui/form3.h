#pragma once

// The listing window: the rabble's text listing, its two save actions, its printing and the
// export.
#include "core/request.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <utility>

class QPlainTextEdit;
class QPushButton;

namespace throngkit {

struct Settings;
class Prompts;

class Form3 : public QDialog
{
    Q_OBJECT

public:
    Form3(Settings &settings, Prompts &prompts, QWidget *parent = nullptr);

    // Replaces the whole listing shown.
    void showListing(const QString &listing);

    // The heading the saves and the print write under: the configuration window gives it before
    // showing this window, and takes back the one the user settles on (headingChanged).
    void setHeading(const QString &heading);
    QString heading() const { return m_heading; }

    // While the heading is the default one, asks for one; a non-empty answer replaces it.
    void AskHeading();

    // The save actions of "Save .rbl" and "Save .htm": the rabble in format, under the name
    // the save dialog gives.
    void saveListingFile(OutputFormat format);

    // The action of "Export…": the rabble as Foundry VTT actors, CSV or JSON, the format by the
    // file type chosen in the save dialog; refused, as the saves are, before a generation.
    void exportRabble();

    // The action of "Print": settles the heading as the saves do, then prints the listing as
    // the box holds it on the printer the print dialog sets up. Cancel prints nothing.
    void printListingText();

signals:
    // The user gave a heading in place of the default one.
    void headingChanged(const QString &heading);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Says so and returns true while no rabble has been generated.
    bool refuseBeforeGeneration(const QString &action);
    // The saves and the export: after the refusal and the heading question, the save dialog
    // offering formats, each with its filter, again after a failed save.
    void saveAs(const QString &action, const QList<std::pair<OutputFormat, QString>> &formats,
                const QString &initialName);

    Settings &m_settings;
    Prompts &m_prompts;
    QString m_heading;

    QPlainTextEdit *m_listingBox = nullptr;
    QPushButton *m_exitButton = nullptr;
    QPushButton *m_saveRblButton = nullptr;
    QPushButton *m_saveHtmButton = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_exportButton = nullptr;
};

} // namespace throngkit
