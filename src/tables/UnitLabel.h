#pragma once

#include <QLabel>

// A unit label beside a panel. Units arrive from the instrument ("inH2O", "mmH2O") and may be
// wider than the label's fixed place before the table: the text then shrinks to fit rather
// than lose its last letters under the table.
class UnitLabel : public QLabel {
    Q_OBJECT
public:
    explicit UnitLabel(QWidget *parent = nullptr);

    // The font the text is drawn in: the label's own, or smaller where the text needs it.
    QFont fittedFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
