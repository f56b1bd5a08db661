// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/slottabs.h"

#include <QHelpEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolTip>

SlotTabBar::SlotTabBar(QWidget* parent) : QTabBar(parent) {
    setExpanding(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
}

QSize SlotTabBar::tabSizeHint(int index) const {
    const QSize natural = QTabBar::tabSizeHint(index);
    const int n = count();
    const QWidget* tabs = parentWidget();
    if (n == 0 || !tabs)
        return natural;
    // The first (width % n) tabs take one pixel more, so the shares add up to the whole width.
    const int width = tabs->width();
    return QSize(width / n + (index < width % n ? 1 : 0), natural.height());
}

QSize SlotTabBar::minimumTabSizeHint(int index) const {
    return tabSizeHint(index);
}

bool SlotTabBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = tabAt(help->pos());
        if (index >= 0) {
            QToolTip::showText(help->globalPos(), tabText(index), this, tabRect(index));
            return true;
        }
    }
    return QTabBar::event(event);
}

namespace {
constexpr int kMargin = 1;
constexpr int kGap = 2;
} // namespace

QRect SlotTabBar::pictureRect(const QRect& tab) const {
    const QSize size = iconSize();
    return QRect(tab.left() + kMargin, tab.center().y() - size.height() / 2 + 1, size.width(), size.height());
}

QRect SlotTabBar::captionRect(const QRect& tab) const {
    QRect caption = tab.adjusted(kMargin, 1, -kMargin, 1);
    caption.setLeft(pictureRect(tab).right() + 1 + kGap);
    return caption;
}

bool SlotTabBar::captionFits(int index) const {
    return fontMetrics().horizontalAdvance(tabText(index)) <= captionRect(tabRect(index)).width();
}

void SlotTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const auto paintTab = [&](int index) {
        QStyleOptionTab option;
        initStyleOption(&option, index);
        const QString caption = option.text;
        const QIcon picture = option.icon;
        option.text.clear();
        option.icon = QIcon();
        painter.drawControl(QStyle::CE_TabBarTabShape, option);

        const bool enabled = option.state & QStyle::State_Enabled;
        if (!picture.isNull())
            picture.paint(&painter, pictureRect(option.rect), Qt::AlignCenter,
                          enabled ? QIcon::Normal : QIcon::Disabled);
        const QRect place = captionRect(option.rect);
        const QString shown = fontMetrics().elidedText(caption, Qt::ElideRight, place.width());
        painter.drawItemText(place, Qt::AlignCenter, option.palette, enabled, shown, QPalette::WindowText);
    };
    // The current tab is drawn last: its shape overlaps its neighbours'.
    for (int i = 0; i < count(); ++i)
        if (i != currentIndex())
            paintTab(i);
    if (currentIndex() >= 0)
        paintTab(currentIndex());
}

SlotTabs::SlotTabs(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new SlotTabBar(this));
}

SlotTabBar* SlotTabs::slotTabBar() const {
    return static_cast<SlotTabBar*>(tabBar());
}
