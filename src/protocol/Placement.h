#pragma once

class ScreenModel;

// Puts each key/value pair of a reading stream where the current mode keeps it: a table
// cell, a display panel or a unit label. Reads CurrentKey/CurrentValue (or the single-logger
// texts) and CurrentMode from the model.
class Placement {
public:
    explicit Placement(ScreenModel &model) : m_model(model) {}

    // Real Mode: panels at once, measured values into the live work grid.
    void placeReal();
    // End of a live reading: the work grid goes to the panels and is blanked.
    void showRealReading();

    // Store and Logger records into the record table.
    void placeRecordField();
    // The browse panels show row CurrentRow + 1 of the record table.
    void showBrowseRow();

    void placeSingleLoggerField();
    void placeSingleLoggerRecord();
    void placeTightnessField();

    // A new stream starts: a record dropped for a bad address in the last one ends.
    void beginStream() { m_dropping = false; }

private:
    bool takeAddress(int dataRows);

    ScreenModel &m_model;
    // Set by an address that is no row of the table; the record's fields land nowhere
    // until the next usable address, so a bad record never overwrites another.
    bool m_dropping = false;
};
