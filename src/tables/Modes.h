#pragma once

#include <QString>

// The twelve measurement modes. CurrentMode holds one of these codes (a file may put any
// 16-bit number there, which matches no mode).
enum MeasurementMode : qint16 {
    Real = 0,
    Store = 1,
    LoggerPage0 = 2,
    LoggerPage1 = 3,
    LoggerPage2 = 4,
    LoggerPage3 = 5,
    SingleLoggerPage0 = 6,
    SingleLoggerPage1 = 7,
    SingleLoggerPage2 = 8,
    SingleLoggerPage3 = 9,
    SingleLoggerPage4 = 10,
    Tightness = 11,
};

enum class Family { None, Real, Store, Logger, SingleLogger, Tightness };

// One row of the mode table.
struct ModeInfo {
    qint16 code;
    Family family;
    int page;            // logger or single-logger page, else 0
    const char *frame;   // frame shown: FrameReal, FrameStore or FrameSL
    const char *caption; // frame caption the mode switch writes
    const char *table;   // MSFlexGrid1/2/3, or "" for Real Mode
    int dataRows;        // data rows of the table (row 0 is the header)
    const char *request; // download request sent by Start
};

// The row for a code, or nullptr for a number that is no mode.
const ModeInfo *modeInfo(int code);
Family familyOf(int code);
bool isLogger(int code);
bool isSingleLogger(int code);
