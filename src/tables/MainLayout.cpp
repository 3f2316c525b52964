#include "tables/MainLayout.h"

#include <cmath>

namespace {
// Labels stand 45 twips below the top of their panel and unit labels 120, so the texts of
// a row share a line despite their different sizes.
constexpr int kPanelHeight = 375;
constexpr int kLabelOffset = 45;
constexpr int kLabelHeight = 285;
constexpr int kUnitOffset = 120;
constexpr int kUnitHeight = 255;

// One row of a frame: label, panel and, where the quantity has one, the unit label.
struct FieldRow {
    const char *label;
    const char *panel;
    const char *unit;
    int top;
    int panelWidth;
};

struct Columns {
    int label;
    int panel;
    int unit;
    int unitWidth;
};

void addRow(std::vector<Placed> &out, const Columns &c, const FieldRow &row)
{
    out.push_back({row.label, Look::Label, c.label, row.top + kLabelOffset, c.panel - c.label - 60,
                   kLabelHeight});
    out.push_back({row.panel, Look::Panel, c.panel, row.top, row.panelWidth, kPanelHeight});
    if (row.unit)
        out.push_back(
            {row.unit, Look::UnitLabel, c.unit, row.top + kUnitOffset, c.unitWidth, kUnitHeight});
}

template <size_t N> std::vector<Placed> rows(const Columns &columns, const FieldRow (&fieldRows)[N])
{
    std::vector<Placed> out;
    for (const FieldRow &row : fieldRows)
        addRow(out, columns, row);
    return out;
}
} // namespace

int MainLayout::pixels(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

const std::vector<Placed> &MainLayout::client()
{
    static const std::vector<Placed> placed = {
        {"Label2", Look::SmallLabel, 240, 555, 615, 255},
        {"txtVersion", Look::VersionPanel, 840, 480, 855, 375},
        {"Shape1", Look::Lamp, 240, 1080, 375, 375},
        {"cmdStart", Look::Button, 240, 1560, 1455, 735},
        {"cmdChart", Look::Button, 240, 3000, 1455, 495},
        {"cmdHeader", Look::Button, 240, 4080, 1455, 495},
        {"FrameReal", Look::Frame, 2040, 120, 7695, 7335},
        {"FrameSL", Look::Frame, 2040, 120, 7695, 7335},
        {"FrameStore", Look::Frame, 2040, 120, 7695, 7335},
    };
    return placed;
}

const std::vector<Placed> &MainLayout::frameReal()
{
    static const std::vector<Placed> placed = [] {
        const FieldRow fieldRows[] = {
            {"Label31", "txtRDate", nullptr, 600, 1455},
            {"Label32", "txtRTime", nullptr, 1080, 1455},
            {"Label3", "txtRCo", "Label1", 1800, 1095},
            {"Label4", "txtRO2", "Label33", 2280, 1095},
            {"Label5", "txtRCo2", "Label34", 2760, 1095},
            {"Label6", "txtRRatio", nullptr, 3240, 1095},
            {"Label7", "txtRXair", "Label35", 3720, 1095},
            {"Label8", "txtREff", "Label36", 4200, 1095},
            {"Label9", "txtRTemp1", "labRT1Unit", 4680, 1095},
            {"Label10", "txtRTemp2", "labRT2Unit", 5160, 1095},
            {"Label11", "txtRPressure", "labRPUnit", 5640, 1095},
            {"Label38", "txtRFuel", nullptr, 6120, 1455},
        };
        std::vector<Placed> out = rows({480, 1920, 3240, 585}, fieldRows);
        out.push_back({"Frame1", Look::Frame, 3840, 480, 3495, 6375});
        out.push_back({"MSFlexGrid4", Look::Table, 3840, 2880, 1215, 2655});
        return out;
    }();
    return placed;
}

const std::vector<Placed> &MainLayout::frameStore()
{
    static const std::vector<Placed> placed = [] {
        const FieldRow fieldRows[] = {
            {"Label12", "txtSAdd2", nullptr, 600, 1335},
            {"Label13", "txtSDate", nullptr, 1080, 1335},
            {"Label14", "txtSTime", nullptr, 1560, 1335},
            {"Label15", "txtSCo", "Label40", 2280, 1335},
            {"Label16", "txtSO2", "Label41", 2760, 1335},
            {"Label17", "txtSCo2", "Label42", 3240, 1335},
            {"Label18", "txtSRatio", nullptr, 3720, 1335},
            {"Label19", "txtSXair", "Label43", 4200, 1335},
            {"Label20", "txtSEff", "Label44", 4680, 1335},
            {"Label21", "txtSTemp1", "labST1Unit", 5160, 1335},
            {"Label22", "txtSTemp2", "labST2Unit", 5640, 1335},
            {"Label23", "txtSPressure", "labSPUnit", 6120, 1335},
            {"Label24", "txtSFuel", nullptr, 6600, 1575},
        };
        std::vector<Placed> out = rows({480, 1800, 3240, 465}, fieldRows);
        // The logger header's fuel lies over the browsed row's fuel.
        out.push_back({"txtLFuel", Look::Panel, 1800, 6600, 1575, kPanelHeight});
        out.push_back({"Label25", Look::Label, 3720, 1080 + kLabelOffset, 1500, kLabelHeight});
        out.push_back({"txtSSample", Look::Panel, 5280, 1080, 1335, kPanelHeight});
        out.push_back({"HScroll1", Look::ScrollBar, 3720, 600, 2415, 255});
        out.push_back({"MSFlexGrid1", Look::Table, 3720, 1560, 3735, 5415});
        return out;
    }();
    return placed;
}

const std::vector<Placed> &MainLayout::frameSL()
{
    static const std::vector<Placed> placed = [] {
        const FieldRow fieldRows[] = {
            {"Label26", "txtSLDate", nullptr, 1680, 1575},
            {"Label27", "txtSLTime", nullptr, 2280, 1575},
            {"Label28", "txtSLSample", nullptr, 2880, 1575},
        };
        std::vector<Placed> out = rows({480, 2040, 0, 0}, fieldRows);
        out.push_back({"Label30", Look::Label, 480, 555 + kLabelOffset, 2340, kLabelHeight});
        out.push_back({"txtSLMeasure", Look::Panel, 2880, 555, 3855, kPanelHeight});
        out.push_back({"Label37", Look::Label, 480, 6600 + kLabelOffset, 780, kLabelHeight});
        out.push_back({"txtSLUnit", Look::Panel, 1320, 6600, 735, kPanelHeight});
        out.push_back({"MSFlexGrid3", Look::Table, 4440, 1200, 3015, 5895});
        out.push_back({"MSFlexGrid2", Look::Table, 1680, 1200, 5085, 5895});
        return out;
    }();
    return placed;
}
