// The main window: an MDI area with the windows of the open scripts, and the commands the
// program can carry out so far (File New, Open, Save, Save As, Close, the recent files, Exit;
// Compile Script and Download).
#pragma once

#include "app/my_multi_doc_template.h"
#include "app/vl_app.h"
#include "platform/doc_template.h"
#include "platform/qt/qt_ui_services.h"

#include <QMainWindow>
#include <set>

class QMdiArea;
class QMenu;
class CVLDoc;

namespace platform::qt {
class MdiChildFrame;
class MdiView;
} // namespace platform::qt

class MainWindow : public QMainWindow,
                   public AppShell,
                   public DocFrameFactory,
                   public platform::ViewTemplate {
public:
    explicit MainWindow(CVLApp& app);
    ~MainWindow() override;

    // AppShell
    DocFrameFactory& ScriptFrames() override { return *this; }
    platform::ViewTemplate* CompileTemplate() override { return this; }
    bool CreateMainFrame() override;
    platform::Document* ActiveDocument() override;
    void RecentFilesChanged() override;

    // DocFrameFactory (the sequence window of a script)
    bool CreateFrame(CVLDoc& doc) override;
    void DestroyFrames(CVLDoc& doc) override;
    void InitialUpdateFrame(CVLDoc& doc, bool visible) override;

    // ViewTemplate (the compile view)
    platform::View* CreateViewFrame(platform::Document& document) override;

    QMdiArea* MdiArea() const { return mdi_; }
    platform::qt::QtUiServices& UiServices() { return ui_; }

    // The commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileClose();
    void OnCompileScript();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Script files dropped on the window open as File Open would open them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    platform::qt::MdiChildFrame* AddFrame(CVLDoc& doc, QWidget* viewWidget,
                                          platform::qt::MdiView& view);
    void FrameClosed(CVLDoc* doc, platform::qt::MdiView* view);
    void RegisterDialogs();
    void BuildFileMenu();

    CVLApp& app_;
    platform::qt::QtUiServices ui_;
    platform::UiServices* previousUi_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    std::set<const CVLDoc*> closing_;
};
