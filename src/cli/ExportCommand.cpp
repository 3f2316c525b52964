#include "charts/ChartQuantities.h"
#include "cli/Args.h"
#include "cli/CliCommand.h"
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

int runExport(const CliCommand &self, const QStringList &argv)
{
    const Args args = Args::parse(
        argv, {"--format", "--out", "--delimiter", "--decimal", "--quantity"}, {"--bom"});
    if (!args.problem.isEmpty()) return usageError(self, args.problem);
    if (args.positional.size() != 1)
        return usageError(self, QStringLiteral("give exactly one data file"));
    ExportSettings settings;
    QString problem;
    if (!settingsFrom(args, &settings, &problem)) return usageError(self, problem);

    ExportTable table;
    QString error;
    if (!ExportTable::fromDataFile(args.positional.first(), &table, &error)) {
        writeStderr(error);
        return ExitFailure;
    }
    QByteArray bytes;
    if (!Exporter::render({table}, settings, &bytes, &error)) {
        writeStderr(QStringLiteral("Cannot export \"%1\": %2").arg(args.positional.first(), error));
        return ExitFailure;
    }
    const QString out = args.value("--out");
    return writeOutput(out == QLatin1String("-") ? QString() : out, bytes) ? ExitOk : ExitFailure;
}

const CliCommand::Registration exportCommand({
    QStringLiteral("export"),
    QStringLiteral("nrv508-cli export FILE --format csv|json|xlsx|pdf [--out OUT]\n"
                   "                  [--delimiter ,|;|tab] [--decimal .|,] [--bom] "
                   "[--quantity Q]"),
    runExport,
    QStringLiteral(
        "Exports the data file FILE as the Export menu exports what the main window shows.\n"
        "CSV: RFC 4180, UTF-8, a header row with units, one row per record slot that holds a\n"
        "record. JSON: one object (mode, page, version, sampling, received, units, records).\n"
        "XLSX: a workbook with typed numeric cells. PDF: the report of the download.\n"
        "\n"
        "Options:\n"
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
        "  nrv508-cli export page0.txt --format csv --delimiter tab --decimal . --out page0.csv\n"),
});
} // namespace
