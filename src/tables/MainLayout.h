#pragma once

#include <vector>

// How a control of the main window is drawn.
enum class Look {
    Frame,        // captioned frame (Arial 12 pt bold caption)
    Label,        // field label, Arial 12 pt
    UnitLabel,    // unit beside a panel, Arial 9 pt bold
    Panel,        // display panel: sunken, white, Arial 12 pt bold
    VersionPanel, // the version display, Arial 9.75 pt bold
    SmallLabel,   // the caption of the version display, Arial 9.75 pt bold
    Button,       // Arial 9.75 pt bold
    Lamp,         // the receive lamp
    ScrollBar,    // the record scroll bar
    Table,        // a reading table
};

// One control of the design: its name, look and rectangle in twips within its container.
struct Placed {
    const char *name;
    Look look;
    int left;
    int top;
    int width;
    int height;
};

// The twip geometry of the main window's design. 1 twip is 1/15 of a pixel at 96 dpi.
namespace MainLayout {
constexpr int kClientWidth = 9930;
constexpr int kClientHeight = 7575;

int pixels(int twips);

// Controls on the client area, the three display frames last with FrameReal beneath.
const std::vector<Placed> &client();
// Controls of each frame, relative to the frame.
const std::vector<Placed> &frameReal();
const std::vector<Placed> &frameStore();
const std::vector<Placed> &frameSL();
} // namespace MainLayout
