#pragma once

// Every modal box the windows open goes through Prompts, so that tests answer them without a
// real dialog (and without timers racing one).
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace throngkit {

struct Settings;
class PickList;

// What a message box says: that something failed (a warning), or a notice (information).
enum class MessageKind { Failure, Notice };

// A type of file a save dialog offers: its filter ("*.rbl", "CSV (*.csv)") and the extension a
// name typed without one gets (".rbl").
struct FileType
{
    QString filter;
    QString extension;
};

// What a save dialog gave: the name, and which of the types offered was chosen (from 0).
struct SavedAs
{
    QString fileName;
    int type = 0;

    friend bool operator==(const SavedAs &, const SavedAs &) = default;
};

// A name that still holds the save dialog's wildcard is a filter, not a file to write.
bool IsFileNamePattern(const QString &fileName);

class Prompts
{
public:
    virtual ~Prompts() = default;

    // A message box with an OK button only.
    virtual void message(QWidget *parent, const QString &text,
                         MessageKind kind = MessageKind::Failure) = 0;

    // The platform's text-input box; nullopt when cancelled.
    virtual std::optional<QString> askText(QWidget *parent, const QString &caption,
                                           const QString &prompt, const QString &preset) = 0;

    // A Save As dialog (the configuration window's CommonDialog1) offering one or more file
    // types, with an initial file name: the name chosen and the type it was chosen under;
    // nullopt on Cancel. A name that is still a pattern ("*.htm") never ends it: it becomes the
    // filter, and the dialog asks again until a real name is given or the user cancels.
    virtual std::optional<SavedAs> saveFileName(QWidget *parent, const QList<FileType> &types,
                                                const QString &initialName) = 0;

    // The pick list (SPICKBOX) of "/"-separated choices under a title, with a note under them
    // when one is given: the number (from 1) of the entry chosen; nullopt when the list was
    // closed without a choice.
    virtual std::optional<int> pickFromList(QWidget *parent, const QString &choiceText,
                                            const QString &title, const QString &note) = 0;

    // Lets the user set up printer (which printer or file, which pages); false on Cancel.
    virtual bool printSetup(QWidget *parent, QPrinter &printer) = 0;

    // Shows dialog modally and returns when it is hidden or closed.
    virtual void showModal(QDialog &dialog) = 0;
};

// The real boxes. Message boxes carry the program's Title, read when each box opens.
class QtPrompts final : public Prompts
{
public:
    explicit QtPrompts(const Settings &settings);
    ~QtPrompts() override;

    void message(QWidget *parent, const QString &text, MessageKind kind) override;
    std::optional<QString> askText(QWidget *parent, const QString &caption, const QString &prompt,
                                   const QString &preset) override;
    std::optional<SavedAs> saveFileName(QWidget *parent, const QList<FileType> &types,
                                        const QString &initialName) override;
    std::optional<int> pickFromList(QWidget *parent, const QString &choiceText,
                                    const QString &title, const QString &note) override;
    bool printSetup(QWidget *parent, QPrinter &printer) override;
    void showModal(QDialog &dialog) override;

private:
    const Settings &m_settings;
    // Kept from one pick to the next, with its dialog, while the same window asks.
    std::unique_ptr<PickList> m_pickList;
};

} // namespace throngkit
