#pragma once

#include "archive/TeamConnection.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The team archive's settings: its URL (kept in the program's settings, never with a
// password), a test of the connection that says what happened, and where the password comes
// from. Saving tells the program's background push to use the new URL.
class TeamArchiveDialog : public QDialog {
    Q_OBJECT
public:
    explicit TeamArchiveDialog(QWidget *parent = nullptr);
    ~TeamArchiveDialog() override;

    // The URL saved by the last Save; empty when none was saved.
    QString saved() const { return m_saved; }
    bool testing() const { return m_testing; }

signals:
    void tested(const TeamConnection::Result &result);

private:
    void test();
    void showResult(const TeamConnection::Result &result);
    void save();

    QLineEdit *m_url = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_test = nullptr;
    QString m_saved;
    bool m_testing = false;
};
