// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/timepicker.h"

#include <QKeyEvent>
#include <QLineEdit>

TimePicker::TimePicker(QWidget* parent) : QDateTimeEdit(parent) {
    setDisplayFormat(QStringLiteral("HH:mm:ss"));
    setDateTimeRange(QDateTime(QDate(1601, 1, 1), QTime(0, 0)),
                     QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
}

void TimePicker::selectCurrentSection() {
    if (!lineEdit()->hasSelectedText())
        setSelectedSection(currentSection());
}

void TimePicker::mousePressEvent(QMouseEvent* event) {
    QDateTimeEdit::mousePressEvent(event);
    setSelectedSection(currentSection());
}

void TimePicker::focusInEvent(QFocusEvent* event) {
    QDateTimeEdit::focusInEvent(event);
    selectCurrentSection();
}

void TimePicker::keyPressEvent(QKeyEvent* event) {
    QDateTimeEdit::keyPressEvent(event);
    // Moving to a section with the keyboard selects it too.
    switch (event->key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
        setSelectedSection(currentSection());
        break;
    default:
        break;
    }
}
