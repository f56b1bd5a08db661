// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/messageboxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {
QMessageBox::Icon iconFor(int style) {
    switch (style & 0x70) {
    case MessageBoxes::Critical:
        return QMessageBox::Critical;
    case MessageBoxes::Question:
        return QMessageBox::Question;
    case MessageBoxes::Exclamation:
        return QMessageBox::Warning;
    case MessageBoxes::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}
// A dialog whose size cannot change floats on tiling window managers instead of being tiled.
void fixSize(QDialog& dialog) {
    if (dialog.layout())
        dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
}
} // namespace

int QtMessageBoxes::msgBox(const QString& text, int style, const QString& title) {
    QMessageBox box(iconFor(style), title, text);
    struct Button {
        QMessageBox::StandardButton standard;
        const char* text;
        int result;
    };
    std::vector<Button> buttons;
    switch (style & 0x7) {
    case YesNoCancel:
        buttons = {{QMessageBox::Yes, "Áno", Yes},
                   {QMessageBox::No, "Nie", No},
                   {QMessageBox::Cancel, "Zrušiť", Cancel}};
        break;
    case YesNo:
        buttons = {{QMessageBox::Yes, "Áno", Yes}, {QMessageBox::No, "Nie", No}};
        break;
    case OkCancel:
        buttons = {{QMessageBox::Ok, "OK", Ok}, {QMessageBox::Cancel, "Zrušiť", Cancel}};
        break;
    default:
        buttons = {{QMessageBox::Ok, "OK", Ok}};
        break;
    }
    for (const Button& b : buttons)
        box.addButton(b.standard)->setText(QString::fromUtf8(b.text));
    box.setDefaultButton(buttons.front().standard);
    // Esc and the close box act as Cancel where there is one, else as the only button.
    box.setEscapeButton(box.button(buttons.back().standard));
    if (style & SystemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    fixSize(box);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const Button& b : buttons)
        if (b.standard == clicked)
            return b.result;
    return (style & 0x7) == OkOnly ? Ok : Cancel;
}

QString QtMessageBoxes::inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                                 std::optional<QPoint> pos) {
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QString::fromUtf8("Zrušiť"));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    fixSize(dialog);
    if (pos)
        dialog.move(*pos);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}
