// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Settings of the connection to the display server, made before the application object exists.
namespace DisplayConnection {
void prepare();
// Once the application object is connected: programs started from here choose their own platform.
void made();
// When the desktop names no icon theme, the styles' standard icons are looked up no further than
// Qt's own resources (part of made()).
void limitIconLookups();
} // namespace DisplayConnection
