#pragma once

// The korvel-render command: reads the options, renders the named file or the built-in demo, and
// prints a summary on stdout or the reason for failing on stderr. Answers the process exit code.

#include <iosfwd>

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);
