// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alerts/alertdesign.h"
#include "alerts/alertoutline.h"

#include <QDateTime>
#include <QLocale>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <cstdint>

class AlertWindows;
class QFrame;
class QLabel;
class RichTextBox;

// One alert window, built from its design record: a frameless picture cut to its outline, with
// the message line, the note and the OK picture. Created and loaded by AlertWindows.
class AlertWindow : public QWidget {
    Q_OBJECT
  public:
    AlertWindow(const AlertDesign& design, AlertWindows& owner);
    ~AlertWindow() override;

    const AlertDesign& design() const { return m_design; }
    // Builds the window, confirms the alert in a message box and only then shows the window.
    void Form_Load();
    // True once Form_Load has shown the window.
    bool isLoaded() const { return m_loaded; }
    // Brings an already shown window forward, loading nothing again.
    void bringForward();
    // The outline at the given scale and offset, in pixels of this window's screen.
    QRegion vytvortvar(float scaleX, float scaleY, std::int16_t offsetX, std::int16_t offsetY);

    // The message line: the moment of loading by the locale's short date, its weekday and time of day.
    static QString messageLine(const QDateTime& now, const QLocale& locale = QLocale());
    // Left or top edge that centres a window on the screen, all in twips: the difference rounded
    // half to even, then halved toward zero.
    static int centredEdge(double screenTwips, int windowTwips);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Twips::PerPixel screenTwipsPerPixel() const;
    void placeControls();
    void Form_MouseDown(QMouseEvent* event);
    void Form_KeyUp(int keyCode);
    void hlásenie_KeyDown(int keyCode);
    void Image1_Click();
    void closeAlert();

    const AlertDesign& m_design;
    AlertWindows& m_owner;
    QPixmap m_picture;
    // The outline applied as the window's mask; a value, so there is nothing to release at unload.
    QRegion m_region;
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    RichTextBox* hlásenie = nullptr;
    QFrame* Line1 = nullptr;
    bool m_loaded = false;
    bool m_closing = false;
    // Moving by hand when the window system cannot move the window itself.
    std::optional<QPoint> m_dragOffset;
};
