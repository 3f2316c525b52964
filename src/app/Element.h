#pragma once

#include <QString>

// One control of a window as the behaviour sees it: a panel, label, frame, button or menu.
// For a display panel the caption is the value shown ("" is blank).
struct Element {
    QString caption;
    bool visible = true;
    bool enabled = true;
};
