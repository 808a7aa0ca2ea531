// commandbars-demo: an MDI frame with a menu bar, the "Standard" toolbar and child frames with
// a toolbar holding a combo box and an edit field. Options (also on the command line) open a
// menu, float a bar, narrow the frame, maximise a child and save a whole-screen screenshot.
#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/colors.h"
#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/control_combo_edit.h"
#include "controls/commandbars/control_lists.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/frame.h"
#include "controls/commandbars/menu_bar.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/commandbars/tool_bar.h"
#include "platform/qt/virtual_keys.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {

enum : unsigned {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT = 57607,
    ID_APP_EXIT = 57665,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_EDIT_FIND = 57636,
    ID_EDIT_REPLACE = 57641,
    ID_VIEW_STATUS = 59393,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE = 57651,
    ID_APP_ABOUT = 57664,
    ID_OPT_OPEN_MENU = 40001,
    ID_OPT_FLOAT = 40002,
    ID_OPT_NARROW = 40003,
    ID_OPT_MAXIMISE = 40004,
    ID_OPT_SCREENSHOT = 40005,
    ID_OPT_LOCKED = 40006,
    ID_TIMELINE = 32915,
    ID_TC_MODE = 32938,
    ID_TC_START = 1125,
    ID_ZOOM_IN = 32916,
    ID_ZOOM_OUT = 32917,
    ID_PLAY = 32918,
    ID_STOP = 32919,
};

void RegisterResources() {
    auto& res = CGVPResources::Instance();
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& file = menu->Popup("&File");
    file.Item("&New\tCtrl+N", ID_FILE_NEW).Item("&Open...\tCtrl+O", ID_FILE_OPEN);
    file.Item("&Close", ID_FILE_CLOSE).Item("&Save\tCtrl+S", ID_FILE_SAVE).Separator();
    file.Item("&Print...\tCtrl+P", ID_FILE_PRINT).Separator();
    file.Item("Recent File", 57616).Separator().Item("E&xit", ID_APP_EXIT);
    GVPMenu& edit = menu->Popup("&Edit");
    edit.Item("&Undo\tCtrl+Z", ID_EDIT_UNDO).Item("&Redo\tCtrl+Y", ID_EDIT_REDO).Separator();
    edit.Item("Cu&t\tCtrl+X", ID_EDIT_CUT).Item("&Copy\tCtrl+C", ID_EDIT_COPY);
    edit.Item("&Paste\tCtrl+V", ID_EDIT_PASTE).Separator();
    edit.Item("&Find...\tCtrl+F", ID_EDIT_FIND).Item("R&eplace...", ID_EDIT_REPLACE);
    GVPMenu& view = menu->Popup("&View");
    view.Item("&Toolbars", 59392).Item("&Status Bar", ID_VIEW_STATUS);
    GVPMenu& options = menu->Popup("&Options");
    GVPMenu& demo = options.Popup("&Demo");
    demo.Item("&Open a Menu", ID_OPT_OPEN_MENU).Item("&Float the Toolbar", ID_OPT_FLOAT);
    demo.Item("&Narrow the Frame", ID_OPT_NARROW).Item("&Maximise a Child", ID_OPT_MAXIMISE);
    options.Separator().Item("Save a &Screenshot", ID_OPT_SCREENSHOT);
    options.Item("&Locked Setting", ID_OPT_LOCKED);
    GVPMenu& window = menu->Popup("&Window");
    window.Item("&Cascade", ID_WINDOW_CASCADE).Item("&Tile", ID_WINDOW_TILE);
    window.Item("Windows", 35000);
    menu->Popup("&Help").Item("&About...", ID_APP_ABOUT);
    res.SetMenu(2, menu);

    GVPToolBarResource standard;
    standard.ids = {
        ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT,   ID_EDIT_COPY, ID_EDIT_PASTE,
        0,           ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_FILE_PRINT, ID_EDIT_FIND, 0,
        ID_APP_ABOUT};
    standard.iconNames = {{ID_FILE_NEW, "document-new"},     {ID_FILE_OPEN, "document-open"},
                          {ID_FILE_SAVE, "document-save"},   {ID_EDIT_CUT, "edit-cut"},
                          {ID_EDIT_COPY, "edit-copy"},       {ID_EDIT_PASTE, "edit-paste"},
                          {ID_EDIT_UNDO, "edit-undo"},       {ID_EDIT_REDO, "edit-redo"},
                          {ID_FILE_PRINT, "document-print"}, {ID_EDIT_FIND, "edit-find"},
                          {ID_APP_ABOUT, "help-about"}};
    res.SetToolBar(2, standard);

    GVPToolBarResource timeline;
    timeline.ids = {ID_TIMELINE, 0,           ID_PLAY, ID_STOP,    0,
                    ID_ZOOM_IN,  ID_ZOOM_OUT, 0,       ID_TC_MODE, ID_TC_START};
    timeline.iconNames = {{ID_TIMELINE, "view-calendar-timeline"},
                          {ID_PLAY, "media-playback-start"},
                          {ID_STOP, "media-playback-stop"},
                          {ID_ZOOM_IN, "zoom-in"},
                          {ID_ZOOM_OUT, "zoom-out"}};
    res.SetToolBar(188, timeline);

    const std::pair<unsigned, const char*> strings[] = {
        {ID_FILE_NEW, "Create a new document\nNew"},
        {ID_FILE_OPEN, "Open an existing document\nOpen"},
        {ID_FILE_SAVE, "Save the active document\nSave"},
        {ID_FILE_PRINT, "Print the active document\nPrint"},
        {ID_EDIT_CUT, "Cut the selection to the clipboard\nCut"},
        {ID_EDIT_COPY, "Copy the selection to the clipboard\nCopy"},
        {ID_EDIT_PASTE, "Insert the clipboard's contents\nPaste"},
        {ID_EDIT_UNDO, "Undo the last action\nUndo"},
        {ID_EDIT_REDO, "Redo the last undone action\nRedo"},
        {ID_EDIT_FIND, "Find text\nFind"},
        {ID_APP_ABOUT, "Show the program's version\nAbout"},
        {ID_TIMELINE, "Show the timeline\nTimeline"},
        {ID_PLAY, "Play the show\nPlay"},
        {ID_STOP, "Stop the show\nStop"},
        {ID_ZOOM_IN, "Zoom in\nZoom In"},
        {ID_ZOOM_OUT, "Zoom out\nZoom Out"},
    };
    for (const auto& [id, text] : strings)
        res.SetString(id, text);
}

GVPAcceleratorTable Accelerators() {
    using platform::qt::VK_F1;
    const std::uint8_t ctrl = GVPAccel::kVirtKey | GVPAccel::kControl;
    return {
        {ctrl, 'N', std::uint16_t(ID_FILE_NEW)},
        {ctrl, 'O', std::uint16_t(ID_FILE_OPEN)},
        {ctrl, 'S', std::uint16_t(ID_FILE_SAVE)},
        {ctrl, 'P', std::uint16_t(ID_FILE_PRINT)},
        {ctrl, 'Z', std::uint16_t(ID_EDIT_UNDO)},
        {ctrl, 'Y', std::uint16_t(ID_EDIT_REDO)},
        {ctrl, 'X', std::uint16_t(ID_EDIT_CUT)},
        {ctrl, 'C', std::uint16_t(ID_EDIT_COPY)},
        {ctrl, 'V', std::uint16_t(ID_EDIT_PASTE)},
        {ctrl, 'F', std::uint16_t(ID_EDIT_FIND)},
        {GVPAccel::kVirtKey, std::uint16_t(VK_F1), std::uint16_t(ID_APP_ABOUT)},
    };
}

class ChildFrame : public CGVPMDIChildWnd {
public:
    explicit ChildFrame(QLabel* status) : status_(status) {
        if (!CGVPPaintManager::GetCurrent())
            CGVPPaintManager::SelectTheme(1);
        SetUpCommandBars();
        CGVPToolBar* bar = GetCommandBars()->AddToolBar("Standard", 0);
        if (bar && bar->LoadToolBar(188, true)) {
            if (auto* b = dynamic_cast<CGVPControlButton*>(
                    bar->GetControls()->FindControlById(ID_TIMELINE)))
                b->SetStyle(3);
            bar->SetPendingLayout();
        }
        auto* text = new QPlainTextEdit;
        text->setPlainText("Sequence 1\n  00:00.00  Lights up\n  00:05.12  Fountain on\n");
        SetCentralWidget(text);
        statusHook = [this](const QString& t) { status_->setText(t.isEmpty() ? "Ready" : t); };
    }
    bool OnCreateControl(GVP_CREATE_CONTROL_INFO& info) override {
        if (info.nID == ID_TC_START) {
            CGVPControlEdit* edit = CGVPControlEdit::CreateObject();
            edit->SetWidth(160);
            edit->SetCaption("Timecode Start:");
            edit->ShowLabel(true);
            info.pControl = edit;
            info.controlType = gvpControlEdit;
            return true;
        }
        if (info.nID == ID_TC_MODE) {
            CGVPControlComboBox* combo = CGVPControlComboBox::CreateObject();
            combo->AddString("Timecode - Internal");
            combo->AddString("Timecode - Jam Sync");
            combo->AddString("Timecode - Reset Mode");
            combo->SetDropWidth(150);
            combo->SetWidth(140);
            info.pControl = combo;
            info.controlType = gvpControlComboBox;
            return true;
        }
        return false;
    }
    bool OnNotify(unsigned id, platform::qt::ControlNotify& n) override {
        auto* control = static_cast<CGVPControl*>(n.control);
        if (id == ID_TC_MODE) {
            mode_ = static_cast<CGVPControlComboBox*>(control)->GetCurSel();
            status_->setText(QString("Timecode mode %1").arg(mode_));
            n.result = 1;
            return true;
        }
        if (id == ID_TC_START) {
            start_ = static_cast<CGVPControlEdit*>(control)->GetEditText();
            status_->setText("Start time " + start_);
            n.result = 1;
            return true;
        }
        return false;
    }
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override {
        if (CGVPMouseManager::GetMouseManager()->IsTracking())
            return id == ID_TC_MODE || id == ID_TC_START;
        if (id == ID_TC_MODE) {
            if (auto* combo = dynamic_cast<CGVPControlComboBox*>(FindBarControl(id)))
                combo->SelectListItem(mode_);
            ui.Enable(true);
            return true;
        }
        if (id == ID_TC_START) {
            if (auto* edit = dynamic_cast<CGVPControlEdit*>(FindBarControl(id)))
                edit->SetEditText(start_);
            ui.Enable(true);
            return true;
        }
        return false;
    }
    bool HasCommandHandler(unsigned id) const override {
        return id == ID_TIMELINE || id == ID_PLAY || id == ID_STOP || id == ID_ZOOM_IN ||
               id == ID_ZOOM_OUT;
    }
    bool OnCommand(unsigned id) override {
        if (!HasCommandHandler(id))
            return false;
        status_->setText(QString("Command %1").arg(id));
        return true;
    }

private:
    CGVPControl* FindBarControl(unsigned id) const {
        CGVPCommandBar* bar = GetCommandBars() ? GetCommandBars()->GetToolBar(0) : nullptr;
        return bar ? bar->GetControls()->FindControlById(id) : nullptr;
    }
    QLabel* status_;
    int mode_ = 0;
    QString start_ = "00:00:00.00";
};

class DemoFrame : public CGVPMDIFrameWnd {
public:
    DemoFrame() {
        setWindowTitle("Command Bars Demo");
        SetUpCommandBars();
        status_ = new QLabel("Ready");
        status_->setContentsMargins(4, 2, 4, 2);
        AddEdgeWindow(status_, 1);
        GetCommandBars()->CreateMenuBar("Menu Bar", 2);
        standard_ = GetCommandBars()->AddToolBar("Standard", 0);
        if (standard_)
            standard_->LoadToolBar(2, true);
        CGVPPaintManager::SelectTheme(2);
        GetSystemColorTable().SetPlainColors(true);
        SetAccelerators(Accelerators());
        statusHook = [this](const QString& t) { status_->setText(t.isEmpty() ? "Ready" : t); };
        GetCommandBars()->SetRecentFiles({[] {
            return QStringList{"/shows/Fountain & Lights.ksf", "/shows/Parade.ksf"};
        }});
    }

    QMdiSubWindow* NewChild() {
        auto* child = new ChildFrame(status_);
        QMdiSubWindow* sub = MdiClient()->addSubWindow(child);
        sub->setWindowTitle(QString("Show %1").arg(++count_));
        sub->resize(520, 260);
        sub->show();
        return sub;
    }
    bool HasCommandHandler(unsigned id) const override {
        switch (id) {
        case ID_FILE_NEW:
        case ID_FILE_OPEN:
        case ID_FILE_CLOSE:
        case ID_FILE_SAVE:
        case ID_FILE_PRINT:
        case ID_APP_EXIT:
        case ID_EDIT_UNDO:
        case ID_EDIT_FIND:
        case ID_VIEW_STATUS:
        case ID_WINDOW_CASCADE:
        case ID_WINDOW_TILE:
        case ID_APP_ABOUT:
        case ID_OPT_OPEN_MENU:
        case ID_OPT_FLOAT:
        case ID_OPT_NARROW:
        case ID_OPT_MAXIMISE:
        case ID_OPT_SCREENSHOT:
            return true;
        default:
            return CGVPMDIFrameWnd::HasCommandHandler(id);
        }
    }
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override {
        if (id == ID_VIEW_STATUS) {
            ui.SetCheck(status_->isVisible() ? 1 : 0);
            return true;
        }
        return false;
    }
    bool OnCommand(unsigned id) override {
        if (CGVPMDIFrameWnd::OnCommand(id))
            return true;
        if (!HasCommandHandler(id))
            return false;
        status_->setText(QString("Command %1").arg(id));
        switch (id) {
        case ID_FILE_NEW:
            NewChild();
            break;
        case ID_FILE_CLOSE:
            if (auto* sub = MdiClient()->activeSubWindow())
                sub->close();
            break;
        case ID_APP_EXIT:
            close();
            break;
        case ID_VIEW_STATUS:
            status_->setVisible(!status_->isVisible());
            RecalcLayout();
            break;
        case ID_WINDOW_CASCADE:
            MdiClient()->cascadeSubWindows();
            break;
        case ID_WINDOW_TILE:
            MdiClient()->tileSubWindows();
            break;
        case ID_OPT_OPEN_MENU:
            QTimer::singleShot(0, this, [this] { OpenMenu(); });
            break;
        case ID_OPT_FLOAT:
            FloatToolbar();
            break;
        case ID_OPT_NARROW:
            Narrow();
            break;
        case ID_OPT_MAXIMISE:
            MaximiseChild();
            break;
        case ID_OPT_SCREENSHOT:
            Screenshot("commandbars-demo.png");
            break;
        default:
            break;
        }
        return true;
    }

    void OpenMenu() {
        CGVPMenuBar* bar = GetMenuBar();
        if (!bar)
            return;
        bar->SetTrackingMode(1, false, false);
        if (CGVPControl* file = bar->GetControl(0))
            bar->SetPopuped(file->GetIndex(), false);
    }
    void FloatToolbar() {
        if (!standard_)
            return;
        GetCommandBars()->FloatCommandBar(standard_);
        standard_->move(mapToGlobal(QPoint(width() - standard_->width() - 40, 140)));
        standard_->show();
        RecalcLayout();
    }
    void Narrow() { resize(240, height()); }
    void MaximiseChild() {
        if (auto* sub = MdiClient()->activeSubWindow())
            sub->showMaximized();
    }
    static void Screenshot(const QString& path) {
        QScreen* screen = QGuiApplication::primaryScreen();
        const bool ok = screen && screen->grabWindow(0).save(path);
        std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    }

private:
    QLabel* status_ = nullptr;
    CGVPToolBar* standard_ = nullptr;
    int count_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Command bars demo");
    parser.addHelpOption();
    QCommandLineOption openMenu("open-menu", "Open the File menu.");
    QCommandLineOption floatBar("float", "Float the Standard toolbar.");
    QCommandLineOption narrow("narrow", "Narrow the frame so that the toolbar wraps.");
    QCommandLineOption maximise("maximise", "Maximise the active child.");
    QCommandLineOption screenshot("screenshot", "Save a whole-screen screenshot and quit.", "file");
    parser.addOptions({openMenu, floatBar, narrow, maximise, screenshot});
    parser.process(app);

    CGVPToolkit toolkit;
    RegisterResources();
    int result = 0;
    {
        DemoFrame frame;
        frame.setGeometry(20, 20, 900, 640);
        frame.show();
        frame.NewChild();
        frame.NewChild();
        frame.RecalcLayout();
        QTimer::singleShot(300, &frame, [&] {
            if (parser.isSet(maximise))
                frame.MaximiseChild();
            if (parser.isSet(narrow))
                frame.Narrow();
            if (parser.isSet(floatBar))
                frame.FloatToolbar();
        });
        QTimer::singleShot(700, &frame, [&] {
            if (parser.isSet(openMenu))
                frame.OpenMenu();
        });
        if (parser.isSet(screenshot))
            QTimer::singleShot(1500, &frame, [&] {
                DemoFrame::Screenshot(parser.value(screenshot));
                frame.close();
            });
        result = app.exec();
        CGVPMouseManager::GetMouseManager()->EndTracking();
    }
    CGVPPaintManager::ReleaseGlobalPaintManager();
    return result;
}
