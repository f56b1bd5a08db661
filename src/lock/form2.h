// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The lock window: black, the lock picture, the text, the password box and the button. It covers
// every screen and refuses to close until the lock lets it.
class Form2 : public QWidget {
    Q_OBJECT
  public:
    // The design was made for a 1024 × 768 screen, 15 twips per pixel.
    static constexpr int kDesignWidth = 1024;
    static constexpr int kDesignHeight = 768;

    explicit Form2(const QString& programFolder);

    // Places the window over all of `whole` and its controls on `primary`, scaled from the design.
    void layOut(const QRect& primary, const QRect& whole);
    // Lays out over the screens there are now.
    void coverScreens();
    void allowClose() { m_closable = true; }

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    std::function<void()> onCommand1;
    // Another window of the program turned modal (true) or went away again (false).
    std::function<void(bool blocked)> onBlocked;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QPixmap m_picture;
    QRect m_primary;
    bool m_closable = false;
};
