#pragma once

#include "app/ScreenModel.h"

#include <QWidget>

// The receive lamp Shape1: a solid circle whose fill blinks between green and the system
// menu colour while readings arrive.
class ReceiveLamp : public QWidget {
    Q_OBJECT
public:
    explicit ReceiveLamp(QWidget *parent = nullptr);

    void setFill(LampColour fill);
    LampColour fill() const { return m_fill; }
    QColor fillColour() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    LampColour m_fill = LampColour::Green;
};
