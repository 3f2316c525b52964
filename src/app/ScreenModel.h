#pragma once

#include "app/Element.h"
#include "tables/Grid.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <vector>

// Every control of the main window and its progress window that behaviour reads or writes,
// by the name it bears in the window design.
// clang-format off
#define NRV508_MAIN_ELEMENTS(X)                                                                    \
    X(frmMain)                                                                                     \
    X(mnuFile) X(mnuOpen) X(mnuSave) X(mnuPrint) X(mnuPrintSetup) X(mnuExit) X(mnuMode) X(mnuReal) \
        X(mnuStore) X(mnuLogger) X(mnuL0) X(mnuL1) X(mnuL2) X(mnuL3) X(mnuSingle) X(mnuSL0)        \
            X(mnuSL1) X(mnuSL2) X(mnuSL3) X(mnuSL4) X(mnuTightness) X(mnuSetup) X(mnuSet)          \
                X(cmdStart) X(cmdChart) X(cmdHeader) X(Label2) X(txtVersion) X(Shape1)             \
                    X(frmSplash) X(frmSplashLabel1)

#define NRV508_REAL_ELEMENTS(X)                                                                    \
    X(FrameReal)                                                                                   \
    X(Frame1) X(Label31) X(txtRDate) X(Label32) X(txtRTime) X(Label3) X(txtRCo) X(Label1)          \
        X(Label4) X(txtRO2) X(Label33) X(Label5) X(txtRCo2) X(Label34) X(Label6) X(txtRRatio)      \
            X(Label7) X(txtRXair) X(Label35) X(Label8) X(txtREff) X(Label36) X(Label9)             \
                X(txtRTemp1) X(labRT1Unit) X(Label10) X(txtRTemp2) X(labRT2Unit) X(Label11)        \
                    X(txtRPressure) X(labRPUnit) X(Label38) X(txtRFuel)

#define NRV508_STORE_ELEMENTS(X)                                                                   \
    X(FrameStore)                                                                                  \
    X(HScroll1) X(Label12) X(txtSAdd2) X(Label13) X(txtSDate) X(Label14) X(txtSTime) X(Label25)    \
        X(txtSSample) X(Label15) X(txtSCo) X(Label40) X(Label16) X(txtSO2) X(Label41) X(Label17)   \
            X(txtSCo2) X(Label42) X(Label18) X(txtSRatio) X(Label19) X(txtSXair) X(Label43)        \
                X(Label20) X(txtSEff) X(Label44) X(Label21) X(txtSTemp1) X(labST1Unit) X(Label22)  \
                    X(txtSTemp2) X(labST2Unit) X(Label23) X(txtSPressure) X(labSPUnit) X(Label24)  \
                        X(txtSFuel) X(txtLFuel)

#define NRV508_SL_ELEMENTS(X)                                                                      \
    X(FrameSL)                                                                                     \
    X(Label30) X(txtSLMeasure) X(Label26) X(txtSLDate) X(Label27) X(txtSLTime) X(Label28)          \
        X(txtSLSample) X(Label37) X(txtSLUnit)

#define NRV508_ELEMENTS(X)                                                                         \
    NRV508_MAIN_ELEMENTS(X) NRV508_REAL_ELEMENTS(X) NRV508_STORE_ELEMENTS(X) NRV508_SL_ELEMENTS(X)
// clang-format on

// Fill colour of the receive lamp Shape1.
enum class LampColour { Green, MenuColour, Other };

// Texts of the reading-stream assembler and parser that live as long as the program.
struct TokenizerState {
    QByteArray StreamText;     // the stream being assembled, across passes
    QByteArray SplitLine;      // the line being assembled, across passes
    QByteArray CompleteStream; // last complete stream of a pass, with one CR appended
    QString CurrentKey;        // text before the first quote of the latest quoted line
    QString CurrentValue;      // text between its first two quotes
    QString MajorVersion;
    QString MinorVersion;
    QString SLIndexText, SLValue1, SLValue2;
};

// The main window as data, plus the program-wide variables. Widget-free: the windows render
// it and the command line prints it. Behaviour calls changed() at the end of every action.
class ScreenModel : public QObject {
    Q_OBJECT
public:
    ScreenModel();

#define NRV508_DECLARE(name) Element name;
    NRV508_ELEMENTS(NRV508_DECLARE)
#undef NRV508_DECLARE

    Grid MSFlexGrid1; // record table (Store, Logger)
    Grid MSFlexGrid2; // tightness table
    Grid MSFlexGrid3; // single logger table
    Grid MSFlexGrid4; // live work grid of Real Mode, never shown

    // Scroll bar HScroll1 over the records of MSFlexGrid1.
    int HScroll1Value = 0;
    int HScroll1Max = 49;

    LampColour Shape1Fill = LampColour::Green;

    // Program-wide variables.
    qint16 CurrentMode = 0;
    qint16 CurrentRow = 0;
    qint16 BaudIndex = 2;
    qint16 PortNumber = 1;
    qint16 LinkType = 1;
    qint16 ChartQuantity = 0;

    QByteArray ReceiveBuffer; // the hidden text box Text8: received, not yet processed
    qint32 ReceivedCount = 0;
    bool LinkQuiet = false;

    TokenizerState tokens;

    // Printout header lines as last prepared for sending, and the echo check due.
    QString HeaderLine1;
    QString HeaderLine2;
    QString HeaderEcho;
    qint16 HeaderWritePending = 0;

    // Looks an element up by its design name; nullptr for an unknown name.
    Element *element(const QString &name);
    const Element *element(const QString &name) const;
    // Every element name, in declaration order.
    static const std::vector<QString> &elementNames();

    Grid *grid(const QString &name);

    // Tells the views that the model changed.
    void notify()
    {
        emit changed();
    }

signals:
    void changed();
};
