#include "tables/BrowseScrollBar.h"

#include <QKeyEvent>

BrowseScrollBar::BrowseScrollBar(QWidget *parent) : QScrollBar(Qt::Horizontal, parent)
{
    setRange(0, 49);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::StrongFocus);
}

void BrowseScrollBar::keyPressEvent(QKeyEvent *event)
{
    const bool forward =
        isRightToLeft() ? event->key() == Qt::Key_Left : event->key() == Qt::Key_Right;
    const bool back =
        isRightToLeft() ? event->key() == Qt::Key_Right : event->key() == Qt::Key_Left;
    if (forward || back) {
        triggerAction(forward ? SliderSingleStepAdd : SliderSingleStepSub);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}
