// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTimeEdit>

// A slot's time picker: hours, minutes and seconds of a full date-time value (the day is kept).
// Clicking a section selects it, so typing replaces it and moves on to the next section, as a time
// picker is expected to behave; a bare cursor in the section would refuse the digits.
class TimePicker : public QDateTimeEdit {
  public:
    explicit TimePicker(QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void selectCurrentSection();
};
