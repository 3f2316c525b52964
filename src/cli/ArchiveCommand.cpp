// nrv508-cli archive: the measurement archive from the command line, through the same Archive
// class as the archive window.

#include "archive/Archive.h"
#include "cli/ArchiveSync.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "protocol/Numbers.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// The options each subcommand takes besides --db.
const QHash<QString, QStringList> &allowedOptions()
{
    static const QHash<QString, QStringList> allowed = {
        {"list", {"--mode", "--since", "--until", "--search", "--json"}},
        {"import", {}},
        {"get", {"--out"}},
        {"show", {"--json"}},
        {"label", {"--customer", "--site", "--note"}},
        {"delete", {}},
        {"sync", {"--team"}},
    };
    return allowed;
}

// Bulk import size limit: no data file comes near it.
constexpr qint64 kMaxImportFile = 4 * 1024 * 1024;

QString isoTime(const QDateTime &time)
{
    if (!time.isValid()) return QString();
    const QDateTime local = time.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

// A field of a tab-separated line keeps to its column.
QString field(QString text)
{
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

QJsonObject entryJson(const ArchiveEntry &e)
{
    return {{"id", e.id},           {"received", isoTime(e.received)},
            {"mode", e.mode},       {"records", e.records},
            {"version", e.version}, {"customer", e.customer},
            {"site", e.site},       {"sha256", e.sha256},
            {"source", e.source}};
}

std::optional<qint64> idOf(const Args &args)
{
    if (args.positional.size() != 2) return std::nullopt;
    bool ok = false;
    const qint64 id = args.positional[1].toLongLong(&ok);
    return ok && id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

// Reads --mode, --since, --until and --search; returns a problem for the usage message.
QString readFilter(const Args &args, ArchiveFilter *filter)
{
    if (args.positional.size() != 1) return QStringLiteral("list takes no arguments");
    if (args.options.contains("--mode")) {
        const std::optional<int> mode = parseWholeNumber(args.value("--mode"));
        if (!mode || *mode < 0 || *mode > 11)
            return QStringLiteral("--mode takes a mode code from 0 to 11");
        filter->mode = *mode;
    }
    for (const char *option : {"--since", "--until"}) {
        if (!args.options.contains(option)) continue;
        const QDate date = QDate::fromString(args.value(option), Qt::ISODate);
        if (!date.isValid()) return QStringLiteral("%1 takes a date as YYYY-MM-DD").arg(option);
        (QLatin1String(option) == QLatin1String("--since") ? filter->since : filter->until) = date;
    }
    filter->text = args.value("--search");
    return QString();
}

int runList(Archive &archive, const Args &args, const CliCommand &self)
{
    ArchiveFilter filter;
    const QString problem = readFilter(args, &filter);
    if (!problem.isEmpty()) return usageError(self, problem);
    const bool json = args.flags.contains("--json");
    QJsonArray array;
    constexpr int kPage = 1000;
    for (int offset = 0;; offset += kPage) {
        QString error;
        const auto page = archive.list(filter, offset, kPage, &error);
        if (!page) {
            writeStderr(error);
            return ExitFailure;
        }
        QByteArray out;
        for (const ArchiveEntry &e : *page) {
            if (json) {
                array << entryJson(e);
                continue;
            }
            out += QStringList{QString::number(e.id),
                               isoTime(e.received),
                               QString::number(e.mode),
                               QString::number(e.records),
                               field(e.version),
                               field(e.customer),
                               field(e.site)}
                       .join(QLatin1Char('\t'))
                       .toUtf8() +
                   '\n';
        }
        if (!json) writeStdout(out);
        if (page->size() < kPage) break;
    }
    if (json) writeStdout(QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n');
    return ExitOk;
}

// The data files an import argument names: the file, or every *.txt of a directory.
QStringList filesOf(const QString &argument)
{
    const QFileInfo info(argument);
    if (!info.isDir()) return {argument};
    QStringList files;
    const QDir dir(argument);
    for (const QString &name :
         dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden, QDir::Name))
        files << dir.filePath(name);
    return files;
}

// Reads one file for import; false, with the reason, for what cannot be read.
bool readImportFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot import \"%1\": %2")
                     .arg(path, QFileInfo(path).isDir() ? QStringLiteral("it is a directory")
                                                        : file.errorString());
        return false;
    }
    *bytes = file.read(kMaxImportFile + 1);
    if (bytes->size() > kMaxImportFile || file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Cannot import \"%1\": %2")
                     .arg(path, bytes->size() > kMaxImportFile
                                    ? QStringLiteral("it is far too large to be a data file")
                                    : file.errorString());
        return false;
    }
    return true;
}

int runImport(Archive &archive, const Args &args, const CliCommand &self)
{
    if (args.positional.size() < 2) return usageError(self, QStringLiteral("import needs a file"));
    QString error;
    // Each file is committed on its own: a killed import keeps every file it finished.
    if (!archive.setBulk(true, &error)) {
        writeStderr(error);
        return ExitFailure;
    }
    int imported = 0, existing = 0, refused = 0;
    bool stopped = false;
    for (const QString &argument : args.positional.mid(1)) {
        for (const QString &path : filesOf(argument)) {
            QByteArray bytes;
            ReadingRows::Download download;
            if (!readImportFile(path, &bytes, &error) ||
                !ReadingRows::fromDataFile(bytes, path, &download, &error)) {
                writeStderr(error); // a file that is not a data file is skipped
                ++refused;
                continue;
            }
            const QFileInfo info(path);
            const ArchiveSource source{"file", info.absoluteFilePath(), info.lastModified()};
            const auto added = archive.addDownload(bytes, download, source, &error);
            if (!added) {
                writeStderr(error); // a failing archive (a full disk) stops the import
                stopped = true;
                break;
            }
            ++(added->existed ? existing : imported);
        }
        if (stopped) break;
    }
    archive.setBulk(false, &error);
    writeStdout(QStringLiteral("imported %1, already archived %2, refused %3\n")
                    .arg(imported)
                    .arg(existing)
                    .arg(refused)
                    .toUtf8());
    return refused > 0 || stopped ? ExitFailure : ExitOk;
}

int runGet(Archive &archive, const Args &args, const std::optional<qint64> &id)
{
    QString error;
    const std::optional<QByteArray> bytes = archive.dataFile(*id, &error);
    if (!bytes) {
        writeStderr(error);
        return ExitFailure;
    }
    return writeOutput(args.value("--out"), *bytes) ? ExitOk : ExitFailure;
}

QJsonValue numberOrNull(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QByteArray showJson(const ArchiveEntry &e, const QStringList &header,
                    const QList<ReadingRows::Row> &rows)
{
    QJsonObject object = entryJson(e);
    object.insert("archived", isoTime(e.archived));
    object.insert("ended", e.ended.isValid() ? QJsonValue(isoTime(e.ended)) : QJsonValue());
    object.insert("sampling", e.sampling);
    object.insert("origin", e.origin);
    object.insert("note", e.note);
    object.insert("header", QJsonArray::fromStringList(header));
    QJsonArray readings;
    for (const ReadingRows::Row &row : rows) {
        QJsonObject reading{{"row", row.row}, {"cells", QJsonArray::fromStringList(row.cells)}};
        for (int q = 0; q < ReadingRows::kCount; ++q)
            reading.insert(QLatin1String(ReadingRows::columnName(q)), numberOrNull(row.values[q]));
        readings << reading;
    }
    object.insert("readings", readings);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray showText(const ArchiveEntry &e, const QStringList &header,
                    const QList<ReadingRows::Row> &rows)
{
    const QList<QPair<const char *, QString>> fields = {{"id", QString::number(e.id)},
                                                        {"received", isoTime(e.received)},
                                                        {"archived", isoTime(e.archived)},
                                                        {"ended", isoTime(e.ended)},
                                                        {"mode", QString::number(e.mode)},
                                                        {"records", QString::number(e.records)},
                                                        {"version", e.version},
                                                        {"sampling", e.sampling},
                                                        {"origin", e.origin},
                                                        {"source", e.source},
                                                        {"sha256", e.sha256},
                                                        {"customer", e.customer},
                                                        {"site", e.site},
                                                        {"note", e.note}};
    QString out;
    for (const auto &[key, value] : fields)
        out += QLatin1String(key) + QLatin1Char('=') + field(value) + QLatin1Char('\n');
    out += QLatin1Char('\n') + QStringLiteral("row\t") + header.join(QLatin1Char('\t')) +
           QLatin1Char('\n');
    for (const ReadingRows::Row &row : rows) {
        QStringList cells;
        for (const QString &cell : row.cells)
            cells << field(cell);
        out += QString::number(row.row) + QLatin1Char('\t') + cells.join(QLatin1Char('\t')) +
               QLatin1Char('\n');
    }
    return out.toUtf8();
}

int runShow(Archive &archive, const Args &args, const std::optional<qint64> &id)
{
    QString error;
    const std::optional<ArchiveEntry> e = archive.entry(*id, &error);
    QStringList header;
    QList<ReadingRows::Row> rows;
    if (!e || !archive.readings(*id, &header, &rows, &error)) {
        writeStderr(error);
        return ExitFailure;
    }
    writeStdout(args.flags.contains("--json") ? showJson(*e, header, rows)
                                              : showText(*e, header, rows));
    return ExitOk;
}

int runChange(Archive &archive, const Args &args, const std::optional<qint64> &id)
{
    QString error;
    bool ok = false;
    if (args.positional.first() == QLatin1String("delete")) {
        ok = archive.remove(*id, &error);
    } else {
        ArchiveLabels labels;
        auto take = [&args](const char *option, std::optional<QString> &to) {
            if (args.options.contains(option)) to = args.value(option);
        };
        take("--customer", labels.customer);
        take("--site", labels.site);
        take("--note", labels.note);
        ok = archive.label(*id, labels, &error);
    }
    if (!ok) writeStderr(error);
    return ok ? ExitOk : ExitFailure;
}

// Every option given must belong to the subcommand.
QString misplacedOption(const Args &args, const QString &sub)
{
    const QStringList allowed = allowedOptions().value(sub);
    for (auto it = args.options.cbegin(); it != args.options.cend(); ++it)
        if (it.key() != QLatin1String("--db") && !allowed.contains(it.key()))
            return QStringLiteral("%1 does not take %2").arg(sub, it.key());
    for (const QString &flag : args.flags)
        if (!allowed.contains(flag)) return QStringLiteral("%1 does not take %2").arg(sub, flag);
    return QString();
}

int runArchive(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(argv,
                                  {"--db", "--mode", "--since", "--until", "--search", "--out",
                                   "--customer", "--site", "--note", "--team"},
                                  {"--json"});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    const QString sub = args.positional.value(0);
    if (!allowedOptions().contains(sub))
        return usageError(self, sub.isEmpty()
                                    ? QStringLiteral("give a subcommand")
                                    : QStringLiteral("unknown subcommand \"%1\"").arg(sub));
    const QString misplaced = misplacedOption(args, sub);
    if (!misplaced.isEmpty()) return usageError(self, misplaced);
    const bool takesId = sub == "get" || sub == "show" || sub == "label" || sub == "delete";
    const std::optional<qint64> id = takesId ? idOf(args) : std::nullopt;
    if (takesId && !id) return usageError(self, QStringLiteral("%1 takes one archive ID").arg(sub));

    Archive archive;
    QString error;
    if (!archive.open(args.value("--db", Archive::defaultLocation()), &error)) {
        writeStderr(error);
        return ExitFailure;
    }
    if (!archive.setAsidePath().isEmpty())
        writeStderr(QStringLiteral("Archive: the archive \"%1\" was damaged; it was renamed to "
                                   "\"%2\" and a new archive was started.")
                        .arg(archive.location(), archive.setAsidePath()));
    if (sub == "list") return runList(archive, args, self);
    if (sub == "import") return runImport(archive, args, self);
    if (sub == "get") return runGet(archive, args, id);
    if (sub == "show") return runShow(archive, args, id);
    if (sub == "sync") return runArchiveSync(archive, args, self);
    return runChange(archive, args, id);
}

const CliCommand::Registration archiveCommand({
    QStringLiteral("archive"),
    QStringLiteral(
        "nrv508-cli archive [--db LOCATION] list [--mode CODE] [--since DATE] [--until DATE] "
        "[--search TEXT] [--json]\n"
        "       nrv508-cli archive [--db LOCATION] import FILE|DIR...\n"
        "       nrv508-cli archive [--db LOCATION] get ID [--out FILE]\n"
        "       nrv508-cli archive [--db LOCATION] show ID [--json]\n"
        "       nrv508-cli archive [--db LOCATION] label ID [--customer T] [--site T] [--note T]\n"
        "       nrv508-cli archive [--db LOCATION] delete ID\n"
        "       nrv508-cli archive [--db LOCATION] sync [--team URL]"),
    runArchive,
    QStringLiteral(
        "Works on the archive of every download, live run and data file the program has kept.\n"
        "  list     one line per archived download, newest first:\n"
        "           ID, received, mode, records, version, customer, site (tab-separated)\n"
        "  import   archives data files (a directory: every *.txt in it, not recursive);\n"
        "           an identical file is archived once; refused files are named on stderr\n"
        "  get      writes the archived data file byte for byte\n"
        "  show     the download's details and its readings\n"
        "  label    sets the customer, site and note of a download\n"
        "  delete   removes a download and its readings\n"
        "  sync     pushes downloads and ended live runs not yet in the team archive to it,\n"
        "           each once, and labels changed since a push (on your own downloads there);\n"
        "           prints one line per download, then the counts\n"
        "\n"
        "Options:\n"
        "  --db LOCATION      an archive file or a postgresql:// URL (default: NRV508_ARCHIVE,\n"
        "                     else the program's own archive in the user's data directory)\n"
        "  --mode CODE        list only this mode, 0 to 11 (default: every mode)\n"
        "  --since DATE       list downloads received on or after DATE, YYYY-MM-DD (default: any)\n"
        "  --until DATE       list downloads received on or before DATE (default: any)\n"
        "  --search TEXT      list downloads whose customer, site or note holds TEXT\n"
        "  --json             list or show as JSON (default: text lines)\n"
        "  --out FILE         get writes FILE instead of stdout\n"
        "  --customer T       label: the customer (default: unchanged)\n"
        "  --site T           label: the site (default: unchanged)\n"
        "  --note T           label: the note (default: unchanged)\n"
        "  --team URL         sync: the team archive, postgresql://user@host:port/database\n"
        "                     (default: NRV508_TEAM_ARCHIVE, else the program's setting);\n"
        "                     the password comes from ~/.pgpass or PGPASSFILE\n"
        "\n"
        "Example:\n"
        "  nrv508-cli archive list --search \"High Street\" --since 2026-01-01\n"),
});
} // namespace
