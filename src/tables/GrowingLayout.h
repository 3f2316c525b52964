#pragma once

#include <QObject>
#include <QRect>
#include <vector>

class QWidget;

// The main window's design is a fixed layout. At its design size (or smaller, when the window
// scrolls) every control stays where the design puts it; a larger client area widens and
// lengthens the chosen controls (the display frames and their tables) by as much, so more of a
// table shows at once. Panels, labels and buttons keep their place.
class GrowingLayout : public QObject {
    Q_OBJECT
public:
    // client: the client area, at its design size; grown: the controls that take the extra room.
    GrowingLayout(QWidget *client, const std::vector<QWidget *> &grown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    struct Grown {
        QWidget *widget;
        QRect design;
    };
    QWidget *m_client;
    QSize m_design;
    std::vector<Grown> m_grown;
};
