#include "tables/GrowingLayout.h"

#include <QEvent>
#include <QWidget>

GrowingLayout::GrowingLayout(QWidget *client, const std::vector<QWidget *> &grown)
    : QObject(client), m_client(client), m_design(client->size())
{
    for (QWidget *w : grown)
        if (w) m_grown.push_back({w, w->geometry()});
    client->installEventFilter(this);
    apply();
}

bool GrowingLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize) apply();
    return QObject::eventFilter(watched, event);
}

void GrowingLayout::apply()
{
    const int dw = qMax(0, m_client->width() - m_design.width());
    const int dh = qMax(0, m_client->height() - m_design.height());
    for (const Grown &g : m_grown)
        g.widget->setGeometry(g.design.adjusted(0, 0, dw, dh));
}
