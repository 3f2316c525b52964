#pragma once

#include "tables/ControlBuilder.h"
#include "tables/ElementViews.h"
#include "tables/WindowPrinter.h"

#include <QMainWindow>
#include <memory>

class FileMenu;
class MainMenus;
class Program;
class QPlainTextEdit;
class QScrollArea;
class QScrollBar;
class ReceiveLamp;
class frmArchive;
class frmSplash;
class GridView;

// The main window: a view of the screen model. Menus and buttons call into the core; the
// window redraws from the model whenever it changes.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(Program &program, QWidget *parent = nullptr);
    ~frmMain() override;

    // The client area: frames, panels, tables, buttons; no menu bar. Never below its design size.
    QWidget *clientArea() const { return m_client; }

public slots:
    void render();

private:
    void buildClientArea();
    void bindElements();
    void connectCommands();
    void connectModeSwitches();
    void renderScrollBar();
    void addFocusRing();
    void renderReceiveBuffer();

    void startStop();
    void chart();
    void header();
    void communicationSetup();
    void print();
    void printSetup();
    void exitProgram();

    // Windows of their own that come with the data-file, chart and header work.
    void fileOpen();
    void fileSave();
    void openChartWindow();
    void openHeaderWindow();
    void addArchiveMenu();
    void openArchiveWindow();

    Program &m_program;
    ControlBuilder m_controls;
    ElementViews m_views;
    std::unique_ptr<MainMenus> m_menus;
    FileMenu *m_files = nullptr; // Save, Open and the recent files of the File menu
    WindowPrinter m_printer;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_client = nullptr;
    QScrollBar *m_hscroll = nullptr;
    ReceiveLamp *m_lamp = nullptr;
    GridView *m_records = nullptr; // MSFlexGrid1, the record table
    QPlainTextEdit *m_text8 = nullptr;
    std::unique_ptr<frmSplash> m_splash;
    frmArchive *m_archive = nullptr; // made at its first use, kept while the program runs
    QByteArray m_shownBuffer;
    bool m_rendering = false;
};
