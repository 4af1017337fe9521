#pragma once

// `tarnwick --convert ...` (see batchoptions.h): converts without a window
// or a display, reads and writes no settings, and never hands over to a
// running Tarnwick. Answers the process's exit status.
int RunBatchCommand(int argc, char* argv[]);
