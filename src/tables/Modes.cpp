#include "tables/Modes.h"

namespace {
const ModeInfo kModes[] = {
    {Real, Family::Real, 0, "FrameReal", "Real Mode Data", "", 0, "QTRQ"},
    {Store, Family::Store, 0, "FrameStore", "Store Mode Data", "MSFlexGrid1", 50, "QTS"},
    {LoggerPage0, Family::Logger, 0, "FrameStore", "Logger Mode Data #0", "MSFlexGrid1", 100,
     "QTL0"},
    {LoggerPage1, Family::Logger, 1, "FrameStore", "Logger Mode Data #1", "MSFlexGrid1", 100,
     "QTL1"},
    {LoggerPage2, Family::Logger, 2, "FrameStore", "Logger Mode Data #2", "MSFlexGrid1", 100,
     "QTL2"},
    {LoggerPage3, Family::Logger, 3, "FrameStore", "Logger Mode Data #3", "MSFlexGrid1", 100,
     "QTL3"},
    {SingleLoggerPage0, Family::SingleLogger, 0, "FrameSL", "Single Logger Mode Data #0",
     "MSFlexGrid3", 30, "QTSL0"},
    {SingleLoggerPage1, Family::SingleLogger, 1, "FrameSL", "Single Logger Mode Data #1",
     "MSFlexGrid3", 30, "QTSL1"},
    {SingleLoggerPage2, Family::SingleLogger, 2, "FrameSL", "Single Logger Mode Data #2",
     "MSFlexGrid3", 30, "QTSL2"},
    {SingleLoggerPage3, Family::SingleLogger, 3, "FrameSL", "Single Logger Mode Data #3",
     "MSFlexGrid3", 30, "QTSL3"},
    {SingleLoggerPage4, Family::SingleLogger, 4, "FrameSL", "Single Logger Mode Data #4",
     "MSFlexGrid3", 30, "QTSL4"},
    {Tightness, Family::Tightness, 0, "FrameSL", "Tightness Mode", "MSFlexGrid2", 50, "QTT"},
};
} // namespace

const ModeInfo *modeInfo(int code)
{
    if (code < Real || code > Tightness) return nullptr;
    return &kModes[code];
}

Family familyOf(int code)
{
    const ModeInfo *info = modeInfo(code);
    return info ? info->family : Family::None;
}

bool isLogger(int code)
{
    return familyOf(code) == Family::Logger;
}

bool isSingleLogger(int code)
{
    return familyOf(code) == Family::SingleLogger;
}
