#pragma once

#include <QSettings>

// The program's own settings of this user (recent files, port assignments), kept apart from
// the link's settings file in the working directory.
class ProgramSettings : public QSettings {
public:
    ProgramSettings()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NRV508"),
                    QStringLiteral("nrv508"))
    {
    }
};
