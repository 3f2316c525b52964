#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class ScreenModel;

// The data file: one quoted value per line, CR LF, in an order fixed by the mode code alone:
// the mode line, the mode's leading panels, its whole table with the header row, the version
// (and for a logger page the sampling interval). Text is 8-bit, one byte per character.
namespace DataFile {

// The bytes of the file for the model's CurrentMode. Moves each table's current cell over the
// cells written, as saving does.
QByteArray serialize(ScreenModel &model);

// WriteDataFile: writes beside the target and renames over it, so a failed write never loses
// the file that was there. On failure returns false with the reason in *error.
bool write(ScreenModel &model, const QString &path, QString *error);

// The values of a file, one per line, as far as a reader of its mode ever looks.
struct Contents {
    int mode = 0;
    QStringList values; // the values after the mode line
};

// Reads and checks a file without touching the window. Fails, with a reason naming the file,
// when the file cannot be read, is empty, does not start with a whole 16-bit number, or ends
// before the leading panels of its mode.
bool load(const QString &path, Contents *contents, QString *error);
// load, and refuses as well a file whose mode is not one a save writes (1 to 11): taking
// such a number as the mode would leave the table on screen unsaveable, or make a later save
// write a file without its table.
bool loadSaved(const QString &path, Contents *contents, QString *error);
// The same on bytes already in memory; name is used in the reason only.
bool parse(const QByteArray &bytes, const QString &name, Contents *contents, QString *error);

// ReadDataFile's effect on the window: CurrentMode takes the file's number; for modes 1 to 11
// the family's layout is prepared, its table cleared and filled by counting, and the panels
// restored.
void apply(const Contents &contents, ScreenModel &model);

// Geometry of the table block per mode, shared by the writer, the reader and the tests.
struct Layout {
    int leadingPanels; // L
    int width;         // W
    int height;        // H, header row included
    int trailer;       // version (+ sampling for a logger page)
    int totalLines() const { return 1 + leadingPanels + width * height + trailer; }
};
// The layout of a mode 1 to 11; a layout of zeros for any other number.
Layout layoutOf(int mode);

} // namespace DataFile
