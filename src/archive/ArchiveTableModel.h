#pragma once

#include "archive/ArchiveEntry.h"

#include <QAbstractTableModel>
#include <QList>

class Archive;

// The archived downloads as a table for a view, newest first, under a filter. Rows are
// fetched a page at a time as the view scrolls to them, so a large archive opens at once.
// Customer, site and note are edited in place and written to the archive at once.
class ArchiveTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // ArchivedBy: who archived it, on a team archive.
    enum Column { Id, Received, Mode, Records, Customer, Site, Note, Source, ArchivedBy, kColumns };
    static constexpr int kPage = 200;

    explicit ArchiveTableModel(QObject *parent = nullptr);

    // The archive shown; nullptr shows nothing.
    void setArchive(Archive *archive);
    Archive *archive() const { return m_archive; }
    void setFilter(const ArchiveFilter &filter);
    const ArchiveFilter &filter() const { return m_filter; }
    // Reads the list again from the archive, as far as it was fetched. Rows that stay are
    // kept (changed in place where they changed), new ones inserted and gone ones removed, so
    // a view keeps its selection and current row; nothing changes for an unchanged list.
    void refresh();

    // Entries matching the filter, fetched or not; -1 when the archive cannot say.
    int total() const { return m_total; }
    const ArchiveEntry &entryAt(int row) const { return m_rows.at(row); }
    // The row of the download id among those fetched; -1 if not there.
    int rowOf(qint64 id) const;
    // The last failure of the archive, "" after a success.
    QString error() const { return m_error; }

    static QString modeName(int mode);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // After every change of the rows shown: a new filter, a refresh, a page fetched.
    void listed();

private:
    void reload(int rows);
    void merge(const QList<ArchiveEntry> &fresh);

    Archive *m_archive = nullptr;
    ArchiveFilter m_filter;
    QList<ArchiveEntry> m_rows;
    int m_total = 0;
    QString m_error;
};
