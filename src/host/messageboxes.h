// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

// The message box and the input box. Style values add up a buttons code (0 OK, 3 Yes/No/Cancel,
// 4 Yes/No, 1 OK/Cancel), an icon code (16 critical, 32 question, 48 warning, 64 information) and
// 4096 for a box that stays on top of every window.
class MessageBoxes {
  public:
    enum Result { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
    enum Style {
        OkOnly = 0,
        OkCancel = 1,
        YesNoCancel = 3,
        YesNo = 4,
        Critical = 16,
        Question = 32,
        Exclamation = 48,
        Information = 64,
        SystemModal = 4096
    };

    virtual ~MessageBoxes() = default;
    // Returns the pressed button; Esc or the close box gives Cancel where there is one (else OK).
    virtual int msgBox(const QString& text, int style, const QString& title) = 0;
    // Returns the typed text, or empty text on Cancel. pos is the top-left corner in pixels.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                             std::optional<QPoint> pos = std::nullopt) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
  public:
    int msgBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                     std::optional<QPoint> pos) override;
};
