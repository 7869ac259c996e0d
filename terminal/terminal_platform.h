// What each platform's terminal file provides to the shared part in terminal.cpp; included
// by terminal/ only.
#pragma once

#include <cstdio>

#include "terminal/terminal.h"

// True when the platform's terminals take terminal commands at all (TERM on POSIX systems).
bool platform_takes_commands();

// Carries out `command` on the terminal behind `out`, which takes commands, and remembers
// what put_terminal_back must undo.
void platform_run_command(FILE* out, TerminalCommand command);
