#include "archive/ArchiveSchema.h"

namespace ArchiveSchema {

QStringList stepTo(int version)
{
    switch (version) {
    case 1:
        // One row per archived download (or live run) with the data file's bytes compressed,
        // and one row per record with its cells as received and its quantities as numbers.
        return {
            QStringLiteral("CREATE TABLE archive_meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
            QStringLiteral("CREATE TABLE downloads ("
                           " id %ID%,"
                           " received %INT% NOT NULL," // ms since the epoch: when the data arrived
                           " archived %INT% NOT NULL,"
                           " mode INTEGER NOT NULL,"
                           " version TEXT NOT NULL DEFAULT '',"
                           " sampling TEXT NOT NULL DEFAULT '',"
                           " origin TEXT NOT NULL,"            // port, file or live
                           " source TEXT NOT NULL DEFAULT ''," // the device or the file
                           " sha256 TEXT UNIQUE," // of the data file; none for a live run
                           " data %BLOB%,"
                           " data_size %INT% NOT NULL DEFAULT 0,"
                           " records INTEGER NOT NULL DEFAULT 0,"
                           " customer TEXT NOT NULL DEFAULT '',"
                           " site TEXT NOT NULL DEFAULT '',"
                           " note TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE TABLE readings ("
                           " download_id %INT% NOT NULL REFERENCES downloads(id) ON DELETE CASCADE,"
                           " row_no INTEGER NOT NULL,"
                           " cells TEXT NOT NULL," // the cells as received, unit-separated
                           " co %REAL%, o2 %REAL%, co2 %REAL%, ratio %REAL%, xair %REAL%,"
                           " eff %REAL%, temp1 %REAL%, temp2 %REAL%, pressure %REAL%,"
                           " value1 %REAL%, value2 %REAL%,"
                           " PRIMARY KEY (download_id, row_no))%KEYED%"),
        };
    case 2:
        // A live run learns when it ended; the list and its filters get their indexes.
        return {
            QStringLiteral("ALTER TABLE downloads ADD COLUMN ended %INT%"),
            QStringLiteral("CREATE INDEX downloads_received ON downloads (received)"),
            QStringLiteral("CREATE INDEX downloads_customer ON downloads (customer, received)"),
            QStringLiteral("CREATE INDEX downloads_mode ON downloads (mode, received)"),
        };
    case 3:
        // A team archive on a server records who archived each download; a live run gets a
        // key of its own (a download's is its data file's SHA-256), so that pushing it again
        // to a team archive adds nothing; a local archive records what it pushed where.
        return {
            QStringLiteral("ALTER TABLE downloads ADD COLUMN archived_by TEXT NOT NULL "
                           "DEFAULT %WHO%"),
            QStringLiteral("ALTER TABLE downloads ADD COLUMN run_key TEXT"),
            QStringLiteral("CREATE UNIQUE INDEX downloads_run_key ON downloads (run_key)"),
            QStringLiteral("CREATE TABLE pushes ("
                           " download_id %INT% NOT NULL REFERENCES downloads(id) ON DELETE CASCADE,"
                           " team TEXT NOT NULL," // the team archive: host:port/database
                           " pushed %INT% NOT NULL,"
                           " PRIMARY KEY (download_id, team))%KEYED%"),
        };
    case 4:
        // A live reading keeps when it arrived (ms since the epoch), the time it is known by
        // when the instrument showed none; NULL for the records of a data file.
        return {QStringLiteral("ALTER TABLE readings ADD COLUMN arrived %INT%")};
    default:
        return {};
    }
}

QStringList rightsTo(int version)
{
    if (version != 3) return {};
    // Technicians read everything, add downloads under their own name, and change or delete
    // only their own; the office changes and deletes any. The table owner is not bound by it.
    const QLatin1String technician("nrv508_technician"), office("nrv508_office");
    const QString own = QStringLiteral("archived_by = CURRENT_USER");
    const QString ownDownload = QStringLiteral("EXISTS (SELECT 1 FROM downloads d WHERE d.id = "
                                               "download_id AND d.archived_by = CURRENT_USER)");
    const QStringList rights = {
        QStringLiteral("GRANT SELECT ON archive_meta TO %1, %2").arg(technician, office),
        QStringLiteral("GRANT SELECT, INSERT, DELETE ON downloads, readings TO %1").arg(technician),
        QStringLiteral("GRANT UPDATE (customer, site, note, ended, records) ON downloads TO %1")
            .arg(technician),
        QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON downloads, readings TO %1")
            .arg(office),
        QStringLiteral("GRANT USAGE ON SEQUENCE downloads_id_seq TO %1, %2")
            .arg(technician, office),
        QStringLiteral("ALTER TABLE downloads ENABLE ROW LEVEL SECURITY"),
        QStringLiteral("ALTER TABLE readings ENABLE ROW LEVEL SECURITY"),
        QStringLiteral("CREATE POLICY everyone_reads ON downloads FOR SELECT USING (true)"),
        QStringLiteral("CREATE POLICY everyone_reads ON readings FOR SELECT USING (true)"),
        QStringLiteral("CREATE POLICY office_all ON downloads TO %1 USING (true)").arg(office),
        QStringLiteral("CREATE POLICY office_all ON readings TO %1 USING (true)").arg(office),
        QStringLiteral("CREATE POLICY own_add ON downloads FOR INSERT TO %1 WITH CHECK (%2)")
            .arg(technician, own),
        QStringLiteral("CREATE POLICY own_change ON downloads FOR UPDATE TO %1 USING (%2) WITH "
                       "CHECK (%2)")
            .arg(technician, own),
        QStringLiteral("CREATE POLICY own_delete ON downloads FOR DELETE TO %1 USING (%2)")
            .arg(technician, own),
        QStringLiteral("CREATE POLICY own_add ON readings FOR INSERT TO %1 WITH CHECK (%2)")
            .arg(technician, ownDownload),
        QStringLiteral("CREATE POLICY own_delete ON readings FOR DELETE TO %1 USING (%2)")
            .arg(technician, ownDownload),
    };
    // The group roles are made when missing. An owner who may not make roles gets no archive
    // at all rather than one without its rights (which a later open would never add): the
    // whole step is undone and the reason says what the administrator must run first.
    QString block =
        QStringLiteral("DO $$ BEGIN BEGIN"
                       " IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '%1') THEN"
                       " CREATE ROLE %1 NOLOGIN; END IF;"
                       " IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '%2') THEN"
                       " CREATE ROLE %2 NOLOGIN; END IF;"
                       " EXCEPTION WHEN insufficient_privilege THEN"
                       " RAISE EXCEPTION 'the role % may not create roles; an administrator must"
                       " first run: CREATE ROLE %1 NOLOGIN; CREATE ROLE %2 NOLOGIN', CURRENT_USER"
                       " USING ERRCODE = 'insufficient_privilege'; END;")
            .arg(technician, office);
    for (const QString &statement : rights)
        block += QStringLiteral(" EXECUTE $r$%1$r$;").arg(statement);
    return {block + QStringLiteral(" END $$")};
}

} // namespace ArchiveSchema
