#pragma once

#include <QByteArray>

class ScreenModel;

// "name=caption" lines of the Real Mode display, each ending LF.
QByteArray realModeLines(const ScreenModel &model);
// "name=caption" lines of what opening a data file shows: the mode, the visible frame's
// caption and the panels and labels of the file's family.
QByteArray openedFileLines(const ScreenModel &model);
