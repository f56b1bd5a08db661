// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Settings of the connection to the display server, made before the application object exists.
namespace DisplayConnection {
void prepare();
// Once the application object is connected: programs started from here choose their own platform.
void made();
} // namespace DisplayConnection
