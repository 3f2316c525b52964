#pragma once

#include <QSettings>
#include <functional>

class QDialog;
class QDialogButtonBox;

// Where the export and report settings live: the program's own user settings, beside the
// recent files, never the instrument's settings file.
inline QSettings exportPreferences()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NRV508"),
                     QStringLiteral("nrv508"));
}

// OK and Cancel for a settings dialog: OK stores the choice, then closes.
QDialogButtonBox *okCancel(QDialog *dialog, const std::function<void()> &store);
