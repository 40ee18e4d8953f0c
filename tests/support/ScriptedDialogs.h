#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "platform/Dialogs.h"

namespace platform {

// Answers from queues filled by a test. A message box with no queued answer answers Ok
// (or Cancel for a question) and a file dialog with none is cancelled; every shown text is
// kept so a test can check what the user would have seen.
class ScriptedDialogs : public Dialogs {
public:
    void QueueAnswer(Button answer) { m_answers.push_back(answer); }
    void QueueFile(std::optional<QString> path) { m_files.push_back(std::move(path)); }

    Button Message(QWidget* parent, const QString& text, Buttons buttons) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& filter,
                                    const QString& start) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& filter,
                                    const QString& start) override;

    const QStringList& Shown() const { return m_shown; }
    int FileDialogsShown() const { return m_fileDialogs; }
    bool AllAnswersUsed() const { return m_answers.empty() && m_files.empty(); }

private:
    std::optional<QString> NextFile();

    std::deque<Button> m_answers;
    std::deque<std::optional<QString>> m_files;
    QStringList m_shown;
    int m_fileDialogs = 0;
};

}  // namespace platform
