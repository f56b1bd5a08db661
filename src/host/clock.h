// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

// All "now" comes from here, so tests can move time by hand.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
