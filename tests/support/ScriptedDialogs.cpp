#include "support/ScriptedDialogs.h"

namespace platform {

Button ScriptedDialogs::Message(QWidget*, const QString& text, Buttons buttons) {
    m_shown.push_back(text);
    if (m_answers.empty()) return buttons == Buttons::Ok ? Button::Ok : Button::Cancel;
    Button answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::NextFile() {
    ++m_fileDialogs;
    if (m_files.empty()) return std::nullopt;
    std::optional<QString> path = m_files.front();
    m_files.pop_front();
    return path;
}

std::optional<QString> ScriptedDialogs::OpenFile(QWidget*, const QString&, const QString&) {
    return NextFile();
}

std::optional<QString> ScriptedDialogs::SaveFile(QWidget*, const QString&, const QString&) {
    return NextFile();
}

}  // namespace platform
