#include "tables/ControlBuilder.h"

#include "app/ScreenModel.h"
#include "tables/BrowseScrollBar.h"
#include "tables/GridView.h"
#include "tables/ReceiveLamp.h"
#include "tables/UnitLabel.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
QFont arial(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel *label(QWidget *parent, const QFont &font, Qt::Alignment alignment)
{
    auto *l = new QLabel(parent);
    l->setFont(font);
    // Texts come from the instrument and from files: never markup.
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(alignment);
    return l;
}

// A display panel: sunken, white, the value centred.
QLabel *panel(QWidget *parent, const QFont &font)
{
    QLabel *p = label(parent, font, Qt::AlignCenter);
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setLineWidth(2);
    p->setAutoFillBackground(true);
    QPalette palette = p->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    p->setPalette(palette);
    return p;
}

QWidget *frame(QWidget *parent)
{
    auto *f = new QGroupBox(parent);
    f->setFont(arial(12, true));
    // Opaque, so that a frame lying above another hides it.
    f->setAutoFillBackground(true);
    return f;
}

} // namespace

void ControlBuilder::build(QWidget *container, const std::vector<Placed> &placed)
{
    for (const Placed &p : placed) {
        QWidget *w = create(p, container);
        w->setObjectName(QString::fromLatin1(p.name));
        w->setGeometry(MainLayout::pixels(p.left), MainLayout::pixels(p.top),
                       MainLayout::pixels(p.width), MainLayout::pixels(p.height));
        m_controls.insert(w->objectName(), w);
    }
}

QWidget *ControlBuilder::create(const Placed &p, QWidget *parent)
{
    switch (p.look) {
    case Look::Frame:
        return frame(parent);
    case Look::Label:
        return label(parent, arial(12, false), Qt::AlignLeft | Qt::AlignVCenter);
    case Look::UnitLabel: {
        auto *unit = new UnitLabel(parent);
        unit->setFont(arial(9, true));
        return unit;
    }
    case Look::SmallLabel:
        return label(parent, arial(9.75, true), Qt::AlignLeft | Qt::AlignVCenter);
    case Look::Panel:
        return panel(parent, arial(12, true));
    case Look::VersionPanel:
        return panel(parent, arial(9.75, true));
    case Look::Button: {
        auto *b = new QPushButton(parent);
        b->setFont(arial(9.75, true));
        b->setAutoDefault(false);
        return b;
    }
    case Look::Lamp:
        return new ReceiveLamp(parent);
    case Look::ScrollBar:
        return new BrowseScrollBar(parent);
    case Look::Table: {
        auto *g = new GridView(*m_model.grid(QString::fromLatin1(p.name)), parent);
        m_grids << g;
        return g;
    }
    }
    return new QWidget(parent);
}
