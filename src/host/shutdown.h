// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Asks the system to switch the computer off, without a question and without looking at the answer.
class Shutdown {
  public:
    virtual ~Shutdown() = default;
    virtual void powerOff() = 0;
};

class LogindShutdown final : public Shutdown {
  public:
    void powerOff() override;
};
