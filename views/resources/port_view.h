// The table of a script's ports: name, protocol, error sequence and comment of each port of its
// product copy, with the popup that opens the port dialogs.
#pragma once

#include "views/resources/resource_view.h"

struct CProductPort;
class CPortView;

class MyPortCel : public EditedCel<> {
public:
    static constexpr unsigned kProtocolWizard = 500;
    static constexpr unsigned kProductWizard = 501;
    static constexpr unsigned kHelp = 502;
    static constexpr unsigned kProperties = 503;

    explicit MyPortCel(CPortView& view);

    void OnCommand(int id) override;
    void NotifyCellRightClick(int column, int row, int down, const QRect& rect, const QPoint& point,
                              int processed) override;
    void OnTableKey(int key, int column, int row, int rows) override;
    bool MayClear(int column, int row) override;
    bool ClearField(int column, int row) override;
    bool AllowEditFinish(int column, int row, CELEdit* editor, std::string& text,
                         bool cancelled) override;
    int GetCellTipText(int column, int row, int section, std::string& text) override;
    bool NotifyFindDialogClosed() override;

    GVPMenuPtr BuildPopupMenu(int column, int row, int section) override;
    bool OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui) override;

private:
    CPortView& view_;
};

class CPortView : public CResourceView {
public:
    CPortView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    // Called through the object by the initial update and the popup's commands.
    virtual void FillGrid();

    const char* ViewClassName() const override { return "CPortView"; }
    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, void* object) override;
    std::vector<int> MinimumWidths() const override { return {75, 75, 75, 100}; }
    CVLDoc::ColGroup WidthGroup() const override { return CVLDoc::kColPort; }

    int PortCount() const;
    CProductPort* Port(int row) const;
    MyPortCel& Cel() { return *cel_; }

    // The popup's commands on the active row's port.
    void RunProtocolWizard();
    void RunProductWizard();
    // Loads the commands of the protocol a port names, when it is known.
    void LoadProtocolCommands(const std::string& protocol);
    // The view drawn again at once after a dialog changed the port.
    void RefreshAfterDialog();

private:
    MyPortCel* cel_;
};
