#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>

// Command-line arguments split into options with a value, flags and positional arguments.
struct Args {
    QHash<QString, QString> options;
    QSet<QString> flags;
    QStringList positional;
    QString problem; // set when the arguments do not fit

    // valueOptions take the next argument ("--out FILE"); flags stand alone ("--panels").
    static Args parse(const QStringList &args, const QStringList &valueOptions,
                      const QStringList &flagOptions);

    QString value(const QString &option, const QString &fallback = QString()) const
    {
        return options.value(option, fallback);
    }
};
