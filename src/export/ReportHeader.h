#pragma once

#include <QString>

class HeaderWriter;

// The heading of every measurement report: the user's company, address and telephone and an
// optional logo image. Kept in the user's settings, set once. Until the user sets them, the
// address and telephone lines last written to the instrument's printout header stand in.
struct ReportHeader {
    QString company;
    QString address;
    QString telephone;
    QString logoPath; // an image file; "" for none

    bool isEmpty() const { return company.isEmpty() && address.isEmpty() && telephone.isEmpty(); }

    // The saved heading; fields never set come from the instrument's header lines.
    static ReportHeader load();
    void save() const;

    // Remembers a printout header line whose echo came back from the instrument intact.
    static void rememberInstrumentLine(int line, const QString &text);
    // Connects the header writer so that every line the instrument confirms is remembered.
    static void rememberConfirmedLines(HeaderWriter &writer);
};
