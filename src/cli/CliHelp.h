#pragma once

#include <QString>

// Pieces of help text that several commands share, so that they say the same thing the same way.

// "Mode codes:" and one line per code with the mode's name.
QString modeCodesHelp();
// The option lines of --port, --baud and --link, defaults included.
QString portOptionsHelp();
