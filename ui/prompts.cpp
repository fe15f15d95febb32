#include "ui/prompts.h"

#include "core/settings.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace throngkit {

void QtPrompts::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, m_settings.Title, text, QMessageBox::Ok, parent);
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

std::optional<QString> QtPrompts::saveFileName(QWidget *parent, const QString &filter,
                                               const QString &initialName,
                                               const QString &defaultExtension)
{
    QFileDialog dialog(parent, m_settings.Title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultExtension.startsWith(u'.') ? defaultExtension.mid(1)
                                                              : defaultExtension);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void QtPrompts::showModal(QDialog &dialog)
{
    dialog.exec();
}

} // namespace throngkit
