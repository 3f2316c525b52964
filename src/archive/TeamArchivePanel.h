#pragma once

#include <QWidget>
#include <memory>
#include <optional>

class Archive;
class ArchiveTableModel;
class Archiver;
class QCheckBox;
class QLabel;
class TeamSyncer;

// The team archive in the archive window: a check box that lists everyone's downloads from
// the team archive instead of this computer's (with who archived each), and one line that
// says whether the program reaches the team archive or works offline, and a button to its
// settings.
class TeamArchivePanel : public QWidget {
    Q_OBJECT
public:
    TeamArchivePanel(ArchiveTableModel &model, Archiver &archiver, QWidget *parent = nullptr);
    ~TeamArchivePanel() override;

    bool showingTeam() const { return m_team != nullptr; }
    // Lists the team archive (true) or this computer's; false, with the reason shown, when the
    // team archive cannot be reached.
    bool showTeam(bool team);
    // A download of the team archive copied into this computer's archive (once), so it opens
    // as any other; its ID there.
    std::optional<qint64> bringHome(qint64 teamId, QString *error);
    QString state() const;
    // Opens the team archive's settings; a URL saved there is used from then on.
    void editSettings();

signals:
    void viewChanged(bool team);

private:
    void showState();
    void useLocation(const QString &location);

    ArchiveTableModel &m_model;
    Archiver &m_archiver;
    QString m_location;
    std::unique_ptr<Archive> m_team;
    QString m_failure;
    QCheckBox *m_box = nullptr;
    QLabel *m_state = nullptr;
};
