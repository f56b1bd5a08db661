// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots/reminderslot.h"

QString slotTimeText(const QTime& t) {
    return QStringLiteral("%1:%2:%3").arg(t.hour()).arg(t.minute()).arg(t.second());
}
