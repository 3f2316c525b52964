#include "tables/ElementViews.h"

#include "app/Element.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>

void ElementViews::bind(const Element &element, QWidget *widget)
{
    m_widgets.push_back({&element, widget});
}

void ElementViews::bind(const Element &element, QAction *action, MenuText text)
{
    m_actions.push_back({&element, action, std::move(text)});
}

void ElementViews::render() const
{
    for (const WidgetBinding &binding : m_widgets)
        renderWidget(binding);
    for (const ActionBinding &binding : m_actions) {
        const QString text = binding.text(binding.element->caption);
        if (binding.action->text() != text) binding.action->setText(text);
        binding.action->setVisible(binding.element->visible);
        binding.action->setEnabled(binding.element->enabled);
    }
}

void ElementViews::renderWidget(const WidgetBinding &binding)
{
    const Element &e = *binding.element;
    QWidget *w = binding.widget;
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (label->text() != e.caption) label->setText(e.caption);
    } else if (auto *frame = qobject_cast<QGroupBox *>(w)) {
        // A frame caption may come from the instrument; an ampersand in it is no access key.
        QString title = e.caption;
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        if (frame->title() != title) frame->setTitle(title);
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        if (button->text() != e.caption) button->setText(e.caption);
    }
    if (w->isHidden() == e.visible) w->setVisible(e.visible);
    if (w->testAttribute(Qt::WA_ForceDisabled) == e.enabled) w->setEnabled(e.enabled);
}
