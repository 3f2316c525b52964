#include "export/Exporter.h"

#include "export/ExportTable.h"
#include "export/JsonExport.h"
#include "export/ReportLayout.h"
#include "export/XlsxExport.h"
#include "files/SafeWrite.h"

namespace Exporter {

std::optional<ExportFormat> formatNamed(const QString &name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("csv")) return ExportFormat::Csv;
    if (n == QLatin1String("json")) return ExportFormat::Json;
    if (n == QLatin1String("xlsx")) return ExportFormat::Xlsx;
    if (n == QLatin1String("pdf")) return ExportFormat::Pdf;
    return std::nullopt;
}

QString extension(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return QStringLiteral("csv");
    case ExportFormat::Json:
        return QStringLiteral("json");
    case ExportFormat::Xlsx:
        return QStringLiteral("xlsx");
    case ExportFormat::Pdf:
        return QStringLiteral("pdf");
    }
    return QString();
}

QString nothingToExport()
{
    return QStringLiteral("There is nothing to export: the table holds no readings.");
}

bool render(const QList<ExportTable> &tables, const ExportSettings &settings, QByteArray *bytes,
            QString *error)
{
    bool any = false;
    for (const ExportTable &t : tables)
        any = any || !t.isEmpty();
    if (!any) {
        *error = nothingToExport();
        return false;
    }
    const bool one = tables.size() == 1;
    switch (settings.format) {
    case ExportFormat::Csv:
        *bytes = one ? CsvExport::table(tables.first(), settings.csv)
                     : CsvExport::tables(tables, settings.csv);
        return true;
    case ExportFormat::Json:
        *bytes = one ? JsonExport::table(tables.first()) : JsonExport::tables(tables);
        return true;
    case ExportFormat::Xlsx:
        *bytes =
            one ? XlsxExport::workbook(tables.first(), error) : XlsxExport::workbook(tables, error);
        return !bytes->isEmpty();
    case ExportFormat::Pdf:
        if (!one) {
            *error = QStringLiteral("A report is of one download; export several as one file "
                                    "each.");
            return false;
        }
        *bytes = ReportLayout(tables.first(), settings.header, settings.quantity).pdf();
        return true;
    }
    return false;
}

bool write(const QString &path, const QList<ExportTable> &tables, const ExportSettings &settings,
           QString *error)
{
    QByteArray bytes;
    if (!render(tables, settings, &bytes, error)) return false;
    return writeWholeFile(path, bytes, error);
}

} // namespace Exporter
