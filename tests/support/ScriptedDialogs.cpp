#include "support/ScriptedDialogs.h"

namespace platform {

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
