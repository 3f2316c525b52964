#include "archive/ArchiveTableModel.h"

#include "archive/Archive.h"

#include <QLocale>
#include <QSet>
#include <tuple>

namespace {
bool sameEntry(const ArchiveEntry &a, const ArchiveEntry &b)
{
    return std::tie(a.id, a.received, a.ended, a.mode, a.records, a.customer, a.site, a.note,
                    a.source, a.archivedBy) == std::tie(b.id, b.received, b.ended, b.mode,
                                                        b.records, b.customer, b.site, b.note,
                                                        b.source, b.archivedBy);
}

const char *const kHeaders[] = {"ID",   "Received", "Mode",   "Records",    "Customer",
                                "Site", "Note",     "Source", "Archived by"};
} // namespace

ArchiveTableModel::ArchiveTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void ArchiveTableModel::setArchive(Archive *archive)
{
    m_archive = archive;
    reload(kPage);
}

void ArchiveTableModel::setFilter(const ArchiveFilter &filter)
{
    m_filter = filter;
    reload(kPage);
}

void ArchiveTableModel::refresh()
{
    if (!m_archive) return reload(kPage);
    const int rows = std::max<int>(kPage, int(m_rows.size()));
    QString error;
    const std::optional<int> total = m_archive->count(m_filter, &error);
    const auto fresh = total ? m_archive->list(m_filter, 0, rows, &error) : std::nullopt;
    // A failed read keeps the rows shown and says why.
    m_error = error;
    if (fresh) {
        m_total = *total;
        merge(*fresh);
    }
    emit listed();
}

// Turns the rows into fresh one step at a time. Entries keep their relative order (newest
// first, and an entry's time never changes), so walking both lists together suffices.
void ArchiveTableModel::merge(const QList<ArchiveEntry> &fresh)
{
    QSet<qint64> stays;
    for (const ArchiveEntry &e : fresh)
        stays.insert(e.id);
    int at = 0;
    for (const ArchiveEntry &e : fresh) {
        while (at < m_rows.size() && !stays.contains(m_rows[at].id)) {
            beginRemoveRows({}, at, at);
            m_rows.removeAt(at);
            endRemoveRows();
        }
        if (at < m_rows.size() && m_rows[at].id == e.id) {
            if (!sameEntry(m_rows[at], e)) {
                m_rows[at] = e;
                emit dataChanged(index(at, 0), index(at, kColumns - 1));
            }
        } else {
            beginInsertRows({}, at, at);
            m_rows.insert(at, e);
            endInsertRows();
        }
        ++at;
    }
    if (at < m_rows.size()) {
        beginRemoveRows({}, at, int(m_rows.size()) - 1);
        m_rows.resize(at);
        endRemoveRows();
    }
}

int ArchiveTableModel::rowOf(qint64 id) const
{
    for (int row = 0; row < m_rows.size(); ++row)
        if (m_rows[row].id == id) return row;
    return -1;
}

void ArchiveTableModel::reload(int rows)
{
    beginResetModel();
    m_rows.clear();
    m_total = 0;
    m_error.clear();
    if (m_archive) {
        const std::optional<int> total = m_archive->count(m_filter, &m_error);
        const auto first = total ? m_archive->list(m_filter, 0, rows, &m_error) : std::nullopt;
        m_total = total.value_or(-1);
        if (first) m_rows = *first;
    }
    endResetModel();
    emit listed();
}

QString ArchiveTableModel::modeName(int mode)
{
    if (mode == 0) return QStringLiteral("Real (live run)");
    if (mode == 1) return QStringLiteral("Store");
    if (mode >= 2 && mode <= 5) return QStringLiteral("Logger Page%1").arg(mode - 2);
    if (mode >= 6 && mode <= 10) return QStringLiteral("Single Logger Page%1").arg(mode - 6);
    if (mode == 11) return QStringLiteral("Tightness");
    return QString::number(mode);
}

int ArchiveTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ArchiveTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ArchiveTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole) return {};
    const ArchiveEntry &e = m_rows.at(index.row());
    switch (index.column()) {
    case Id:
        return e.id;
    case Received:
        return QLocale().toString(e.received, QLocale::ShortFormat);
    case Mode:
        return modeName(e.mode);
    case Records:
        return e.records;
    case Customer:
        return e.customer;
    case Site:
        return e.site;
    case Note:
        return e.note;
    case Source:
        return e.source;
    case ArchivedBy:
        return e.archivedBy;
    default:
        return {};
    }
}

QVariant ArchiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kHeaders[section]);
}

Qt::ItemFlags ArchiveTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const int c = index.column();
    if (c == Customer || c == Site || c == Note) f |= Qt::ItemIsEditable;
    return f;
}

bool ArchiveTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_archive || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    ArchiveEntry &e = m_rows[index.row()];
    const QString text = value.toString();
    ArchiveLabels labels;
    QString *field = nullptr;
    switch (index.column()) {
    case Customer:
        labels.customer = text;
        field = &e.customer;
        break;
    case Site:
        labels.site = text;
        field = &e.site;
        break;
    default:
        labels.note = text;
        field = &e.note;
    }
    if (!m_archive->label(e.id, labels, &m_error)) return false;
    *field = text;
    emit dataChanged(index, index);
    return true;
}

bool ArchiveTableModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_archive && m_rows.size() < m_total;
}

void ArchiveTableModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent)) return;
    const auto page = m_archive->list(m_filter, int(m_rows.size()), kPage, &m_error);
    if (!page || page->isEmpty()) {
        m_total = int(m_rows.size()); // the archive changed under us: stop asking
        return;
    }
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + page->size() - 1));
    m_rows += *page;
    endInsertRows();
    emit listed();
}
