#include <unistd.h>

#include "Terminal.h"

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }
