#pragma once

#include <QScrollBar>

// The record scroll bar HScroll1. Qt's horizontal scroll bar steps backwards on the right
// arrow key (its controls are inverted so the wheel scrolls the usual way); here the arrow
// keys move the way they point.
class BrowseScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit BrowseScrollBar(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
