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

Button ScriptedDialogs::Message(QWidget*, const QString& text, Buttons buttons) {
    m_shown.push_back(text);
    if (m_answers.empty()) return buttons == Buttons::Ok ? Button::Ok : Button::Cancel;
    Button answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::NextFile(const QString& filter, const QString& start) {
    ++m_fileDialogs;
    m_lastFilter = filter;
    m_lastStart = start;
    if (m_files.empty()) return std::nullopt;
    std::optional<QString> path = m_files.front();
    m_files.pop_front();
    return path;
}

std::optional<QString> ScriptedDialogs::OpenFile(QWidget*, const QString& filter,
                                                 const QString& start) {
    return NextFile(filter, start);
}

std::optional<QString> ScriptedDialogs::SaveFile(QWidget*, const QString& filter,
                                                 const QString& start) {
    return NextFile(filter, start);
}

QStringList ScriptedDialogs::OpenFiles(QWidget*, const QString& filter, const QString& start) {
    ++m_fileDialogs;
    m_lastFilter = filter;
    m_lastStart = start;
    if (m_fileLists.empty()) return {};
    QStringList paths = m_fileLists.front();
    m_fileLists.pop_front();
    return paths;
}

std::optional<QColor> ScriptedDialogs::ChooseColour(QWidget*, const QColor&) {
    ++m_colourDialogs;
    if (m_colours.empty()) return std::nullopt;
    std::optional<QColor> colour = m_colours.front();
    m_colours.pop_front();
    return colour;
}

}  // namespace platform
