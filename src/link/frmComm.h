#pragma once

#include "link/CommSettings.h"

#include <QDialog>

class QButtonGroup;

// The "Communication" window: port, speed and link type as three frames of options. "OK"
// accepts the choice; the close box leaves without one. The window only returns the
// choice: applying and saving it is the link's business.
class frmComm : public QDialog {
    Q_OBJECT
public:
    explicit frmComm(const CommChoice &shown, QWidget *parent = nullptr);

    CommChoice choice() const;

private:
    QWidget *optionFrame(const char *name, const QString &caption, QButtonGroup *group,
                         const QList<QPair<const char *, QString>> &options);

    QButtonGroup *m_ports;
    QButtonGroup *m_speeds;
    QButtonGroup *m_links;
};
