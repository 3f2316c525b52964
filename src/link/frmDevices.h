#pragma once

#include "link/PortAssignments.h"

#include <QDialog>
#include <QTimer>

class QComboBox;
class QLabel;
class QTableWidget;

// "Devices...": every serial port the system reports, and which COM number each one is
// assigned to. Assigning gives the selected port a COM number; "OK" returns the assignments,
// the close box and "Cancel" drop them. The list follows adapters as they come and go.
class frmDevices : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPollMs = 1500;

    // `com` is the number offered first for assigning.
    frmDevices(const PortDiscovery &discovery, const PortAssignments &assignments, int com,
               QWidget *parent = nullptr);

    const PortAssignments &assignments() const { return m_assignments; }
    // The COM number given last, 0 when none was given.
    int assignedCom() const { return m_assignedCom; }

public slots:
    // Asks the system again and redraws the list, keeping the selected port selected.
    void refresh();

private:
    void assignSelected();
    void clearCom();
    void fillRow(int row, const DiscoveredPort &port);

    const PortDiscovery &m_discovery;
    PortAssignments m_assignments;
    QList<DiscoveredPort> m_ports;
    QTableWidget *m_table;
    QComboBox *m_com;
    QLabel *m_empty;
    QTimer m_poll;
    int m_assignedCom = 0;
};
