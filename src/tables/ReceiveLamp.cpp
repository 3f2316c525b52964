#include "tables/ReceiveLamp.h"

#include <QPainter>

ReceiveLamp::ReceiveLamp(QWidget *parent) : QWidget(parent) {}

void ReceiveLamp::setFill(LampColour fill)
{
    if (fill == m_fill) return;
    m_fill = fill;
    update();
}

QColor ReceiveLamp::fillColour() const
{
    switch (m_fill) {
    case LampColour::Green:
        return QColor(0, 192, 0);
    case LampColour::MenuColour:
        return palette().color(QPalette::Window);
    case LampColour::Other:
        break;
    }
    return palette().color(QPalette::Base);
}

void ReceiveLamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(fillColour());
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
