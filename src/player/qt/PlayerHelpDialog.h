#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace player {

// The player's help window: the hot keys of a running show. Escape or "OK" closes it.
class PlayerHelpDialog final : public QDialog {
public:
    explicit PlayerHelpDialog(QWidget* parent = nullptr);

    // The text box's lines, in order.
    static const QStringList& Lines();
    QPlainTextEdit* TextBox() const { return m_textBox; }

private:
    QPlainTextEdit* m_textBox = nullptr;
};

}  // namespace player
