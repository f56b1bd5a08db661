// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Paths {
// $XDG_CONFIG_HOME (default ~/.config).
QString configHome();
// $XDG_CONFIG_HOME/pripomin (default ~/.config/pripomin): where bare settings file names live.
QString configDir();
// $XDG_DATA_HOME/pripomin (default ~/.local/share/pripomin): the note files.
QString dataDir();
// The folder of the running executable, without a trailing separator.
QString executableFolder();
} // namespace Paths
