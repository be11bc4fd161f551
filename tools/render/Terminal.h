#pragma once

// Whether standard error goes to a terminal (and not into a file or a pipe). Each platform answers this
// in its own file: TerminalPosix.cpp and TerminalWindows.cpp.

bool standardErrorIsTerminal();
