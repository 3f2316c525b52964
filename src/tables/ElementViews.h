#pragma once

#include <QString>
#include <functional>
#include <vector>

struct Element;
class QAction;
class QWidget;

// Ties each element of the screen model to the widget or menu entry that shows it, so that
// every caption, visibility and enabled state the behaviour sets is what the user sees.
class ElementViews {
public:
    // How a caption is shown on a menu entry (with its access key).
    using MenuText = std::function<QString(const QString &caption)>;

    void bind(const Element &element, QWidget *widget);
    void bind(const Element &element, QAction *action, MenuText text);

    void render() const;

private:
    struct WidgetBinding {
        const Element *element;
        QWidget *widget;
    };
    struct ActionBinding {
        const Element *element;
        QAction *action;
        MenuText text;
    };

    static void renderWidget(const WidgetBinding &binding);

    std::vector<WidgetBinding> m_widgets;
    std::vector<ActionBinding> m_actions;
};
