#pragma once

// Makes a write to a closed pipe or socket fail with EPIPE instead of ending
// the program with SIGPIPE. The office's bridge writes to a pipe whose office
// may die at any moment; the bridge reports the failed write itself. A
// setting of the whole process: called where the program starts, and by
// each OfficeWorker, so that every program that holds an office has it.
void IgnoreBrokenPipes();
