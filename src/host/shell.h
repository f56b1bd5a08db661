// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Opens a document with the desktop's default viewer.
class Shell {
  public:
    virtual ~Shell() = default;
    virtual void open(const QString& path) = 0;
};

class DesktopShell final : public Shell {
  public:
    void open(const QString& path) override;
};
