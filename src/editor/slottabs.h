// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTabBar>
#include <QTabWidget>

// The twelve slot tabs share the width of the tab control equally, so all twelve stay in sight
// whatever their captions hold; a caption too long for its share is shortened at its end, and
// its tooltip shows it whole.
class SlotTabBar : public QTabBar {
    Q_OBJECT
  public:
    explicit SlotTabBar(QWidget* parent = nullptr);
    // Whether tab index shows its caption whole, without shortening.
    bool captionFits(int index) const;

  protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    bool event(QEvent* event) override;
    // The style's own tab leaves room for wide margins; the slot tabs draw their picture and caption
    // closer together, so a date fits in a twelfth of the window.
    void paintEvent(QPaintEvent* event) override;

  private:
    // Where a tab of this rectangle draws its picture, and its caption.
    QRect pictureRect(const QRect& tab) const;
    QRect captionRect(const QRect& tab) const;
};

class SlotTabs : public QTabWidget {
    Q_OBJECT
  public:
    explicit SlotTabs(QWidget* parent = nullptr);
    SlotTabBar* slotTabBar() const;
};
