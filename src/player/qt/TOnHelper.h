#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace player {

// The player's help window: the hot keys of a running show. Escape or "OK" closes it.
class TOnHelper final : public QDialog {
public:
    explicit TOnHelper(QWidget* parent = nullptr);

    // The text box's lines, in order.
    static const QStringList& Lines();
    QPlainTextEdit* TextBox() const { return m_memo; }

private:
    QPlainTextEdit* m_memo = nullptr;
};

}  // namespace player
