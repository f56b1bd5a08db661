// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Starts the program: the process entry calls this and returns its result.
int runPripomin(int argc, char** argv);
