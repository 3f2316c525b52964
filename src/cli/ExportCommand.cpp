#include "archive/Archive.h"
#include "charts/ChartQuantities.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
#include "export/ArchiveExport.h"
#include "export/ExportTable.h"
#include "export/Exporter.h"

#include <QLocale>

namespace {
// --delimiter and --decimal over the locale's own choice.
bool csvOptions(const Args &args, CsvOptions *csv, QString *problem)
{
    *csv = CsvOptions::forLocale(QLocale());
    if (args.options.contains("--delimiter")) {
        const QString d = args.value("--delimiter");
        if (d == QLatin1String("tab") || d == QLatin1String("\t"))
            csv->delimiter = QLatin1Char('\t');
        else if (d == QLatin1String(",") || d == QLatin1String(";"))
            csv->delimiter = d.front();
        else
            return *problem = QStringLiteral("--delimiter takes , or ; or tab"), false;
    }
    if (args.options.contains("--decimal")) {
        const QString d = args.value("--decimal");
        if (d != QLatin1String(".") && d != QLatin1String(","))
            return *problem = QStringLiteral("--decimal takes . or ,"), false;
        csv->decimal = d.front();
    }
    csv->byteOrderMark = args.flags.contains("--bom");
    return true;
}

bool settingsFrom(const Args &args, ExportSettings *settings, QString *problem)
{
    const std::optional<ExportFormat> format = Exporter::formatNamed(args.value("--format"));
    if (!format) return *problem = QStringLiteral("--format takes csv, json, xlsx or pdf"), false;
    settings->format = *format;
    const QString out = args.value("--out");
    const bool binary = *format == ExportFormat::Xlsx || *format == ExportFormat::Pdf;
    if (binary && out.isEmpty())
        return *problem = QStringLiteral("--out is required for %1").arg(args.value("--format")),
               false;
    settings->quantity = args.value("--quantity");
    if (!settings->quantity.isEmpty() && !chartQuantityByCaption(settings->quantity))
        return *problem = QStringLiteral("unknown quantity \"%1\"").arg(settings->quantity), false;
    if (*format == ExportFormat::Pdf) settings->header = ReportHeader::load();
    return csvOptions(args, &settings->csv, problem);
}

// The download named on the command line: a data file, or an archived download or live run.
bool tableFrom(const Args &args, ExportTable *table, QString *error)
{
    if (!args.options.contains("--archive-id"))
        return ExportTable::fromDataFile(args.positional.first(), table, error);
    Archive archive;
    return archive.open(args.value("--db", Archive::defaultLocation()), error) &&
           ArchiveExport::table(archive, args.value("--archive-id").toLongLong(), table, error);
}

QString archiveIdProblem(const Args &args)
{
    const bool archived = args.options.contains("--archive-id");
    if (archived == (args.positional.size() == 1) || args.positional.size() > 1)
        return QStringLiteral("give exactly one data file or --archive-id");
    if (!archived && args.options.contains("--db"))
        return QStringLiteral("--db goes with --archive-id");
    bool number = false;
    if (archived && (args.value("--archive-id").toLongLong(&number) <= 0 || !number))
        return QStringLiteral("--archive-id takes the number of an archived download");
    return QString();
}

int runExport(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(
        argv,
        {"--format", "--out", "--delimiter", "--decimal", "--quantity", "--archive-id", "--db"},
        {"--bom"});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    if (const QString problem = archiveIdProblem(args); !problem.isEmpty())
        return usageError(self, problem);
    ExportSettings settings;
    QString problem;
    if (!settingsFrom(args, &settings, &problem)) return usageError(self, problem);

    ExportTable table;
    QString error;
    if (!tableFrom(args, &table, &error)) {
        writeStderr(error);
        return ExitFailure;
    }
    const QString what =
        args.positional.isEmpty()
            ? QStringLiteral("download %1 of the archive").arg(args.value("--archive-id"))
            : QStringLiteral("\"%1\"").arg(args.positional.first());
    QByteArray bytes;
    if (!Exporter::render({table}, settings, &bytes, &error)) {
        writeStderr(QStringLiteral("Cannot export %1: %2").arg(what, error));
        return ExitFailure;
    }
    const QString out = args.value("--out");
    return writeOutput(out == QLatin1String("-") ? QString() : out, bytes) ? ExitOk : ExitFailure;
}

const CliCommand::Registration exportCommand({
    QStringLiteral("export"),
    QStringLiteral("nrv508-cli export (FILE | --archive-id ID [--db LOCATION])\n"
                   "                  --format csv|json|xlsx|pdf [--out OUT]\n"
                   "                  [--delimiter ,|;|tab] [--decimal .|,] [--bom] "
                   "[--quantity Q]"),
    runExport,
    QStringLiteral(
        "Exports the data file FILE, or the archived download or live run ID, as the Export\n"
        "menu exports what the main window shows. An archived download carries its customer,\n"
        "site, note and time of arrival; a live run has a Timestamp column first.\n"
        "CSV: RFC 4180, UTF-8, a header row with units, one row per record slot that holds a\n"
        "record. JSON: one object (mode, page, version, sampling, received, units, records).\n"
        "XLSX: a workbook with typed numeric cells. PDF: the report of the download.\n"
        "\n"
        "Options:\n"
        "  --archive-id ID    export the archived download ID (see nrv508-cli archive list)\n"
        "  --db LOCATION      the archive: a file or a postgresql:// URL (default:\n"
        "                     NRV508_ARCHIVE, else the program's own archive)\n"
        "  --format F         csv, json, xlsx or pdf; required\n"
        "  --out OUT          where the export goes, written whole or not at all (default:\n"
        "                     stdout for csv and json, - is stdout too; required for xlsx\n"
        "                     and pdf)\n"
        "  --delimiter D      the CSV field separator: , or ; or tab (default: ; where the\n"
        "                     locale's decimal mark is a comma, else ,)\n"
        "  --decimal M        the CSV decimal mark: . or , (default: the locale's)\n"
        "  --bom              start the CSV with a UTF-8 byte order mark (default: none)\n"
        "  --quantity Q       the quantity charted in the PDF report: CO, O2, CO2, Temp1,\n"
        "                     Temp2, Pressure, Value1 or Value2 (default: CO for a Logger\n"
        "                     page, Value1 for a Single Logger page)\n"
        "\n"
        "Example:\n"
        "  nrv508-cli export page0.txt --format csv --delimiter tab --decimal . --out page0.csv\n"
        "  nrv508-cli export --archive-id 12 --format pdf --out report.pdf\n"),
});
} // namespace
