#pragma once

#include <QStringList>

// The archive's tables, version by version. An archive records the version it was brought to
// in archive_meta ("schema"); opening it runs every later step in order, each in its own
// transaction, and refuses an archive whose version is newer than kCurrent. Steps are never
// edited once released: a change is a new step.
namespace ArchiveSchema {

constexpr int kCurrent = 4;

// The statements that bring an archive from version - 1 to version (1 to kCurrent), with the
// placeholders of SqlDialect::sql.
QStringList stepTo(int version);

// What a server with roles adds to a step: the rights of the technicians' and the office's
// group roles (created when missing).
QStringList rightsTo(int version);

} // namespace ArchiveSchema
