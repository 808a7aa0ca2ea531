// The left pane of a document window: the command tree. Selecting an item shows it in the grid
// of the same window; whole commands are copied, cut and pasted through the scratch command,
// made and removed here.
#pragma once

#include "pactwright/core/command_tree_model.h"
#include "pactwright/core/pactwright_doc.h"
#include "pactwright/pactwright_services.h"
#include "platform/qt/command_map.h"
#include "platform/qt/command_target.h"
#include "platform/qt/mdi_view.h"

#include <QTreeWidget>

namespace pactwright {

class CPactwrightView;

class CLeftView : public QTreeWidget,
                  public platform::qt::MdiViewOf<platform::View>,
                  public platform::qt::CommandTarget {
public:
    CLeftView(CPactwrightDoc& doc, PactwrightServices& services, QWidget* parent = nullptr);

    const char* ViewClassName() const override { return "CLeftView"; }
    // The grid this tree drives: the one of its own window.
    void SetGridView(CPactwrightView* grid) { grid_ = grid; }
    CPactwrightView* GridView() const { return grid_; }

    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, void* object) override;

    // Builds the tree anew: only the root expanded.
    void FillTree();
    // The item number of the selected item; 0 without a selection.
    int SelectedItem() const;
    // Selects the item of that number (the root for 0), telling the grid.
    void SelectItem(int item);

    void OnEditCopy() { CopyCommand(false); }
    void OnEditCut() { CopyCommand(true); }
    void OnEditPaste();
    void OnNewCommand();
    void OnRemoveCommand();

    bool OnCommand(unsigned id) override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;
    bool HasCommandHandler(unsigned id) const override;

private:
    void CopyCommand(bool cut);
    void Append(std::unique_ptr<CCmnd> command);
    // Shows the model; `keepExpanded` keeps the categories open that were open.
    void Render(bool keepExpanded);
    // Selects, without telling the grid, the item of what the grid shows.
    void FollowGrid();
    bool SelectedIsSingle() const;

    CPactwrightDoc& doc_;
    PactwrightServices& services_;
    CPactwrightView* grid_ = nullptr;
    CommandTreeModel model_;
    bool quiet_ = false; // selection changes made here do not refill the grid
    platform::qt::CommandMap commands_;
};

} // namespace pactwright
