#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QUuid>

// The expected data files of the test corpus, and distinct files made from them.
namespace ArchiveTestFiles {

inline QStringList names()
{
    return QDir(QStringLiteral(NRV508_TEST_DATA "/expected"))
        .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
}

inline QByteArray read(const QString &name)
{
    QFile file(QStringLiteral(NRV508_TEST_DATA "/expected/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The logger page 0 file with its first record's CO cell as given.
inline QByteArray loggerWithCo(const QByteArray &co)
{
    QList<QByteArray> lines = read(QStringLiteral("logger0.txt")).split('\n');
    lines[20] = QByteArray("\"") + co + "\"\r";
    return lines.join('\n');
}

// The logger page 0 file with its first record's CO reading set to n: as many different
// downloads as a test needs.
inline QByteArray loggerVariant(int n)
{
    return loggerWithCo(QByteArray::number(n));
}

// Runs one query on an archive file through a connection of its own; the first column of
// every row, as text.
inline QStringList query(const QString &path, const QString &sql)
{
    const QString name = QUuid::createUuid().toString();
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql))
                while (q.next())
                    values << q.value(0).toString();
            else
                values << QStringLiteral("error: ") + q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return values;
}

} // namespace ArchiveTestFiles
