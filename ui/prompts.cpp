#include "ui/prompts.h"

#include "core/settings.h"
#include "ui/captionfit.h"
#include "ui/picklist.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpacerItem>
#include <QStyle>


namespace throngkit {

bool IsFileNamePattern(const QString &fileName)
{
    return fileName.contains(u'*') || fileName.contains(u'?');
}

QtPrompts::QtPrompts(const Settings &settings) : m_settings(settings) {}

QtPrompts::~QtPrompts() = default;

void QtPrompts::message(QWidget *parent, const QString &text, MessageKind kind)
{
    QMessageBox box(kind == MessageKind::Failure ? QMessageBox::Warning : QMessageBox::Information,
                    m_settings.Title, text, QMessageBox::Ok, parent);
    // A box is as wide as its text, and a short one ("57 ", the blank-weapon notice) would leave
    // the title cut in the title bar.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

std::optional<QString> QtPrompts::askText(QWidget *parent, const QString &caption,
                                          const QString &prompt, const QString &preset)
{
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, preset, &accepted);
    if (!accepted)
        return std::nullopt;
    return answer;
}

std::optional<SavedAs> QtPrompts::saveFileName(QWidget *parent, const QList<FileType> &types,
                                               const QString &initialName)
{
    QFileDialog dialog(parent, m_settings.Title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FileType &type : types)
        filters << type.filter;
    dialog.setNameFilters(filters);
    // A name typed without an extension gets the one of the type chosen at that moment.
    const auto suffixOf = [&types](int type) {
        const QString &extension = types.value(type).extension;
        return extension.startsWith(u'.') ? extension.mid(1) : extension;
    };
    dialog.setDefaultSuffix(suffixOf(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &filter) {
        dialog.setDefaultSuffix(suffixOf(int(filters.indexOf(filter))));
    });
    // A name in a folder that does not exist (offered again after a save failed for it) would come
    // back relative to whatever folder the dialog shows: it starts from the nearest one that does.
    if (QFileInfo(initialName).isAbsolute()) {
        QString folder = QFileInfo(initialName).absolutePath();
        while (!QFileInfo(folder).isDir() && QFileInfo(folder).path() != folder)
            folder = QFileInfo(folder).path();
        dialog.setDirectory(folder);
    }
    dialog.selectFile(initialName);
    int type = 0;   // the last of the types offered that was chosen: a typed pattern replaces them
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        if (const qsizetype shown = filters.indexOf(dialog.selectedNameFilter()); shown >= 0)
            type = int(shown);
        const QString chosen = dialog.selectedFiles().constFirst();
        const QString name = QFileInfo(chosen).fileName();
        if (!name.isEmpty() && !IsFileNamePattern(name))
            return SavedAs{chosen, type};
        // Still a pattern (or nothing): the user asked to see those files, not to save. Each
        // ";" or blank-separated part of the pattern filters, as in the filter box.
        if (!name.isEmpty())
            dialog.setNameFilter(name);
        dialog.setDirectory(QFileInfo(chosen).absolutePath());
        dialog.selectFile(QString());
    }
}

std::optional<int> QtPrompts::pickFromList(QWidget *parent, const QString &choiceText,
                                           const QString &title, const QString &note)
{
    if (!m_pickList || m_pickList->parent() != parent)
        m_pickList = std::make_unique<PickList>(parent);
    // The pick list's own answer for a list closed without a choice is 0.
    const int chosen = m_pickList->PickFromList(choiceText, title, note);
    if (chosen == 0)
        return std::nullopt;
    return chosen;
}

bool QtPrompts::printSetup(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

void QtPrompts::showModal(QDialog &dialog)
{
    dialog.exec();
}

} // namespace throngkit
