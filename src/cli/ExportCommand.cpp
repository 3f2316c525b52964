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
});
} // namespace
