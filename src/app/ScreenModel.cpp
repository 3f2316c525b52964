#include "app/ScreenModel.h"

#include <QHash>

namespace {
QVector<int> recordTableWidths()
{
    return {7, 17, 17, 23, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15};
}

struct Caption {
    Element ScreenModel::*member;
    const char *text;
};

// Design-time captions of the labels, buttons and frames; display panels start blank.
const Caption kDesignCaptions[] = {
    {&ScreenModel::frmMain, "NRV508 Window Program ver 2.42"},
    {&ScreenModel::mnuFile, "File"},
    {&ScreenModel::mnuOpen, "Open"},
    {&ScreenModel::mnuSave, "Save"},
    {&ScreenModel::mnuPrint, "Print"},
    {&ScreenModel::mnuPrintSetup, "Print Setup"},
    {&ScreenModel::mnuExit, "Exit (&X)"},
    {&ScreenModel::mnuMode, "Mode"},
    {&ScreenModel::mnuReal, "Real Mode"},
    {&ScreenModel::mnuStore, "Store Mode"},
    {&ScreenModel::mnuLogger, "Logger Mode"},
    {&ScreenModel::mnuL0, "Page0"},
    {&ScreenModel::mnuL1, "Page1"},
    {&ScreenModel::mnuL2, "Page2"},
    {&ScreenModel::mnuL3, "Page3"},
    {&ScreenModel::mnuSingle, "Single Logger Mode"},
    {&ScreenModel::mnuSL0, "Page0"},
    {&ScreenModel::mnuSL1, "Page1"},
    {&ScreenModel::mnuSL2, "Page2"},
    {&ScreenModel::mnuSL3, "Page3"},
    {&ScreenModel::mnuSL4, "Page4"},
    {&ScreenModel::mnuTightness, "Tightness Mode"},
    {&ScreenModel::mnuSetup, "Setup"},
    {&ScreenModel::mnuSet, "Communication Setup"},
    {&ScreenModel::cmdStart, "Start"},
    {&ScreenModel::cmdChart, "Chart"},
    {&ScreenModel::cmdHeader, "Header"},
    {&ScreenModel::Label2, "Ver. :"},
    {&ScreenModel::frmSplash, "Communication..."},
    {&ScreenModel::frmSplashLabel1, "Wait"},
    {&ScreenModel::FrameReal, "Real Mode Data"},
    {&ScreenModel::Label31, "Date"},
    {&ScreenModel::Label32, "Time"},
    {&ScreenModel::Label3, "CO"},
    {&ScreenModel::Label1, "ppm"},
    {&ScreenModel::Label4, "O2"},
    {&ScreenModel::Label33, "%"},
    {&ScreenModel::Label5, "CO2"},
    {&ScreenModel::Label34, "%"},
    {&ScreenModel::Label6, "Ratio"},
    {&ScreenModel::Label7, "XAir"},
    {&ScreenModel::Label35, "%"},
    {&ScreenModel::Label8, "Eff."},
    {&ScreenModel::Label36, "%"},
    {&ScreenModel::Label9, "Temp1"},
    {&ScreenModel::labRT1Unit, "'C"},
    {&ScreenModel::Label10, "Temp2"},
    {&ScreenModel::labRT2Unit, "'C"},
    {&ScreenModel::Label11, "Pressure"},
    {&ScreenModel::labRPUnit, "mbar"},
    {&ScreenModel::Label38, "Fuel"},
    {&ScreenModel::Label12, "Address"},
    {&ScreenModel::Label13, "Date"},
    {&ScreenModel::Label14, "Time"},
    {&ScreenModel::Label25, "Sampling"},
    {&ScreenModel::Label15, "CO"},
    {&ScreenModel::Label40, "ppm"},
    {&ScreenModel::Label16, "O2"},
    {&ScreenModel::Label41, "%"},
    {&ScreenModel::Label17, "CO2"},
    {&ScreenModel::Label42, "%"},
    {&ScreenModel::Label18, "Ratio"},
    {&ScreenModel::Label19, "XAir"},
    {&ScreenModel::Label43, "%"},
    {&ScreenModel::Label20, "Eff."},
    {&ScreenModel::Label44, "%"},
    {&ScreenModel::Label21, "Temp1"},
    {&ScreenModel::labST1Unit, "'F"},
    {&ScreenModel::Label22, "Temp2"},
    {&ScreenModel::labST2Unit, "'F"},
    {&ScreenModel::Label23, "Pressure"},
    {&ScreenModel::labSPUnit, "mbar"},
    {&ScreenModel::Label24, "Fuel"},
    {&ScreenModel::Label30, "Measurement Data"},
    {&ScreenModel::Label26, "Start Date"},
    {&ScreenModel::Label27, "Start Time"},
    {&ScreenModel::Label28, "Sampling"},
    {&ScreenModel::Label37, "Unit"},
};

struct Named {
    const char *name;
    Element ScreenModel::*member;
};

const Named kElements[] = {
#define NRV508_ENTRY(name) {#name, &ScreenModel::name},
    NRV508_ELEMENTS(NRV508_ENTRY)
#undef NRV508_ENTRY
};

const QHash<QString, Element ScreenModel::*> &elementIndex()
{
    static const QHash<QString, Element ScreenModel::*> index = [] {
        QHash<QString, Element ScreenModel::*> h;
        for (const Named &e : kElements)
            h.insert(QString::fromLatin1(e.name), e.member);
        return h;
    }();
    return index;
}
} // namespace

ScreenModel::ScreenModel()
    : MSFlexGrid1(51, 15, 1, 1), MSFlexGrid2(51, 9, 1, 1), MSFlexGrid3(31, 3, 1, 1),
      MSFlexGrid4(10, 1, 1, 0)
{
    for (const Caption &c : kDesignCaptions)
        (this->*c.member).caption = QString::fromLatin1(c.text);

    cmdChart.enabled = false;
    FrameStore.visible = false;
    FrameSL.visible = false;
    frmSplash.visible = false;

    MSFlexGrid1.columnWidths = recordTableWidths();
    MSFlexGrid2.columnWidths = {7, 18, 18, 18, 18, 12, 18, 18, 19};
    MSFlexGrid3.columnWidths = {8, 22, 22};
    MSFlexGrid4.columnWidths = {15};
    MSFlexGrid4.setVisible(false);
}

Element *ScreenModel::element(const QString &name)
{
    const auto member = elementIndex().value(name, nullptr);
    return member ? &(this->*member) : nullptr;
}

const Element *ScreenModel::element(const QString &name) const
{
    return const_cast<ScreenModel *>(this)->element(name);
}

const std::vector<QString> &ScreenModel::elementNames()
{
    static const std::vector<QString> names = [] {
        std::vector<QString> n;
        for (const Named &e : kElements)
            n.push_back(QString::fromLatin1(e.name));
        return n;
    }();
    return names;
}

Grid *ScreenModel::grid(const QString &name)
{
    if (name == QLatin1String("MSFlexGrid1")) return &MSFlexGrid1;
    if (name == QLatin1String("MSFlexGrid2")) return &MSFlexGrid2;
    if (name == QLatin1String("MSFlexGrid3")) return &MSFlexGrid3;
    if (name == QLatin1String("MSFlexGrid4")) return &MSFlexGrid4;
    return nullptr;
}
