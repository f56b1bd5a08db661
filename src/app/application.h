#pragma once

// Starts the program: the process entry calls this and returns its result.
int runPripomin(int argc, char** argv);
