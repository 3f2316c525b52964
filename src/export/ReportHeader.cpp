#include "export/ReportHeader.h"

#include "export/ExportPreferences.h"
#include "link/HeaderWriter.h"

#include <QObject>

namespace {
const char kCompany[] = "report/company";
const char kAddress[] = "report/address";
const char kTelephone[] = "report/telephone";
const char kLogo[] = "report/logo";
const char kInstrumentLine[] = "report/instrumentLine%1";
} // namespace

ReportHeader ReportHeader::load()
{
    QSettings s = exportPreferences();
    ReportHeader h;
    h.company = s.value(kCompany).toString();
    h.logoPath = s.value(kLogo).toString();
    // A field the user has saved, even blank, is theirs; an unsaved one starts from the lines
    // the instrument prints on its own tickets.
    h.address = s.contains(kAddress)
                    ? s.value(kAddress).toString()
                    : s.value(QString::fromLatin1(kInstrumentLine).arg(1)).toString();
    h.telephone = s.contains(kTelephone)
                      ? s.value(kTelephone).toString()
                      : s.value(QString::fromLatin1(kInstrumentLine).arg(2)).toString();
    return h;
}

void ReportHeader::save() const
{
    QSettings s = exportPreferences();
    s.setValue(kCompany, company);
    s.setValue(kAddress, address);
    s.setValue(kTelephone, telephone);
    s.setValue(kLogo, logoPath);
    s.sync();
}

void ReportHeader::rememberInstrumentLine(int line, const QString &text)
{
    if (line != 1 && line != 2) return;
    QSettings s = exportPreferences();
    // The instrument's line is centred with leading blanks on its 20-column printer.
    s.setValue(QString::fromLatin1(kInstrumentLine).arg(line), text.trimmed());
    s.sync();
}

void ReportHeader::rememberConfirmedLines(HeaderWriter &writer)
{
    QObject::connect(&writer, &HeaderWriter::echoChecked, &writer, [&writer](int line) {
        const HeaderTexts &texts = writer.texts();
        const QString result = line == 1 ? texts.Text3 : texts.Text4;
        if (!result.isEmpty() && result != HeaderWriter::kErrorText)
            rememberInstrumentLine(line, result);
    });
}
