#pragma once

#include <QColor>
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
    void QueueFiles(QStringList paths) { m_fileLists.push_back(std::move(paths)); }
    void QueueColour(std::optional<QColor> colour) { m_colours.push_back(colour); }

    Button Message(QWidget* parent, const QString& text, Buttons buttons) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& filter,
                                    const QString& start) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& filter,
                                    const QString& start) override;
    QStringList OpenFiles(QWidget* parent, const QString& filter, const QString& start) override;
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;

    const QStringList& Shown() const { return m_shown; }
    int FileDialogsShown() const { return m_fileDialogs; }
    int ColourDialogsShown() const { return m_colourDialogs; }
    // The filter and start path of the last file dialog.
    const QString& LastFilter() const { return m_lastFilter; }
    const QString& LastStart() const { return m_lastStart; }
    bool AllAnswersUsed() const {
        return m_answers.empty() && m_files.empty() && m_fileLists.empty() && m_colours.empty();
    }

private:
    std::optional<QString> NextFile(const QString& filter, const QString& start);

    std::deque<Button> m_answers;
    std::deque<std::optional<QString>> m_files;
    std::deque<QStringList> m_fileLists;
    std::deque<std::optional<QColor>> m_colours;
    QStringList m_shown;
    QString m_lastFilter;
    QString m_lastStart;
    int m_fileDialogs = 0;
    int m_colourDialogs = 0;
};

}  // namespace platform
