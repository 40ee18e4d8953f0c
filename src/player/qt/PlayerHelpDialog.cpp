#include "player/qt/PlayerHelpDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace player {

const QStringList& PlayerHelpDialog::Lines() {
    static const QStringList lines{
        "<F1>",
        "This help message",
        "",
        "<Enter>, <Right> button or Left mouse click",
        "Go to the next slide",
        "",
        "<Backspace> or <Left> button",
        "Go to the previous slide",
        "",
        "<Ctrl>",
        "Pause / Resume",
        "",
        "<Esc>",
        "Exit presentation",
    };
    return lines;
}

PlayerHelpDialog::PlayerHelpDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Help");
    setModal(true);
    // Above the full-screen player, which stays on top.
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Help about hot keys:", this));
    m_textBox = new QPlainTextEdit(this);
    m_textBox->setReadOnly(true);
    m_textBox->setPlainText(Lines().join('\n'));
    layout->addWidget(m_textBox);
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    resize(280, 330);
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.center() - rect().center());
    }
}

}  // namespace player
