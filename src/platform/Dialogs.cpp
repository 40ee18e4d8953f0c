#include "platform/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace platform {

Button QtDialogs::Message(QWidget* parent, const QString& text, Buttons buttons) {
    const QString title = QApplication::applicationDisplayName();
    if (buttons == Buttons::Ok) {
        QMessageBox::information(parent, title, text);
        return Button::Ok;
    }
    switch (QMessageBox::question(parent, title, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
        case QMessageBox::Yes:
            return Button::Yes;
        case QMessageBox::No:
            return Button::No;
        default:
            return Button::Cancel;
    }
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& filter,
                                           const QString& start) {
    QString path = QFileDialog::getOpenFileName(parent, QString(), start, filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const QString& filter,
                                           const QString& start) {
    // The program adds ".orv" itself, so the dialog must not add a suffix of its own.
    QFileDialog dialog(parent, QString(), start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

QStringList QtDialogs::OpenFiles(QWidget* parent, const QString& filter, const QString& start) {
    return QFileDialog::getOpenFileNames(parent, QString(), start, filter);
}

std::optional<QColor> QtDialogs::ChooseColour(QWidget* parent, const QColor& initial) {
    // Qt's colour dialog always shows its custom-colour part, the expanded form.
    const QColor colour = QColorDialog::getColor(initial, parent);
    if (!colour.isValid()) return std::nullopt;
    return colour;
}

}  // namespace platform
