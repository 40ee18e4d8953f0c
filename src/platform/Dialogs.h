#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Declared only, so the editor's model can use the interface with QtCore alone.
class QColor;
class QWidget;

namespace platform {

// The buttons of the program's message boxes; a question answers with one of them.
enum class Button { Ok, Yes, No, Cancel };

enum class Buttons { Ok, YesNoCancel };

// Message boxes and file dialogs in one small interface, so UI tests script the answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Button Message(QWidget* parent, const QString& text, Buttons buttons) = 0;
    // The chosen path, or nothing when the user cancelled. `filter` uses Qt's notation
    // ("Pictavos (*.orv)"); `start` is the path shown first.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& filter,
                                            const QString& start) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& filter,
                                            const QString& start) = 0;
    // Several paths at once, in the order the dialog gives them; empty when cancelled.
    virtual QStringList OpenFiles(QWidget* parent, const QString& filter, const QString& start) = 0;
    // The colour dialog, fully expanded, starting at `initial`; nothing when closed
    // without choosing.
    virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) = 0;

    // Convenience for plain notices and errors.
    void Inform(QWidget* parent, const QString& text) { Message(parent, text, Buttons::Ok); }
};

// The real dialogs of the desktop.
class QtDialogs : public Dialogs {
public:
    Button Message(QWidget* parent, const QString& text, Buttons buttons) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& filter,
                                    const QString& start) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& filter,
                                    const QString& start) override;
    QStringList OpenFiles(QWidget* parent, const QString& filter, const QString& start) override;
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;
};

}  // namespace platform
