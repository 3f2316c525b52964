#include "tables/UnitLabel.h"

#include <QPainter>

namespace {
constexpr qreal kSmallestPoints = 6.0;
}

UnitLabel::UnitLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QFont UnitLabel::fittedFont() const
{
    QFont f = font();
    const int room = contentsRect().width();
    const int needed = QFontMetrics(f).horizontalAdvance(text());
    if (needed <= room || needed <= 0) return f;
    f.setPointSizeF(qMax(kSmallestPoints, f.pointSizeF() * room / needed));
    // Rounding in the metrics may still leave a pixel over; step down until it fits.
    while (QFontMetrics(f).horizontalAdvance(text()) > room && f.pointSizeF() > kSmallestPoints)
        f.setPointSizeF(f.pointSizeF() - 0.25);
    return f;
}

void UnitLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(fittedFont());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(contentsRect(), int(alignment()), text());
}
