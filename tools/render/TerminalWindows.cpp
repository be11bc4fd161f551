#include <io.h>

#include <cstdio>

#include "Terminal.h"

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
