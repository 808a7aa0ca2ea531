#include "pactwright/left_view.h"

#include "pactwright/core/command_edits.h"
#include "pactwright/core/item_rows.h"
#include "pactwright/pactwright_ids.h"
#include "pactwright/pactwright_view.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"

#include <QHeaderView>
#include <set>

using namespace pw_ids;
using platform::qt::ToQString;

namespace pactwright {

namespace {

constexpr int kItemRole = Qt::UserRole;

int ItemNumber(const QTreeWidgetItem* item) {
    return item ? item->data(0, kItemRole).toInt() : 0;
}

QTreeWidgetItem* Build(const TreeNode& node) {
    auto* item = new QTreeWidgetItem(QStringList(ToQString(node.text)));
    item->setData(0, kItemRole, node.item);
    for (const TreeNode& child : node.children)
        item->addChild(Build(child));
    return item;
}

QTreeWidgetItem* FindItem(QTreeWidgetItem* item, int number) {
    if (!item || ItemNumber(item) == number)
        return item;
    for (int i = 0; i < item->childCount(); ++i)
        if (QTreeWidgetItem* found = FindItem(item->child(i), number))
            return found;
    return nullptr;
}

} // namespace

CLeftView::CLeftView(CPactwrightDoc& doc, PactwrightServices& services, QWidget* parent)
    : QTreeWidget(parent), doc_(doc), services_(services) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSortingEnabled(false);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* now) {
        if (!quiet_ && now && grid_)
            grid_->FillGrid(ItemNumber(now));
    });
    auto single = [this](platform::qt::CommandUi& ui) { ui.Enable(SelectedIsSingle()); };
    commands_
        .On(
            kEditCopy, [this] { OnEditCopy(); }, single)
        .On(
            kEditCut, [this] { OnEditCut(); }, single)
        .On(
            kEditPaste, [this] { OnEditPaste(); },
            [this](auto& ui) { ui.Enable(services_.scratch != nullptr); })
        .On(
            kRemoveCommand, [this] { OnRemoveCommand(); }, single)
        .On(kFilePrint,
            [this] {
                if (grid_)
                    grid_->PrintListing();
            })
        .On(kFilePrintPreview, [this] {
            if (grid_)
                grid_->PrintPreview();
        });
}

void CLeftView::OnInitialUpdate() {
    FillTree();
}

void CLeftView::FillTree() {
    model_.Fill(doc_.Protocol());
    Render(false);
}

void CLeftView::Render(bool keepExpanded) {
    std::set<QString> expanded;
    if (keepExpanded && topLevelItemCount() > 0) {
        QTreeWidgetItem* root = topLevelItem(0);
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->isExpanded())
                expanded.insert(root->child(i)->text(0));
    }
    quiet_ = true;
    clear();
    QTreeWidgetItem* root = Build(model_.Root());
    addTopLevelItem(root);
    root->setExpanded(true);
    for (int i = 0; i < root->childCount(); ++i)
        if (expanded.count(root->child(i)->text(0)))
            root->child(i)->setExpanded(true);
    quiet_ = false;
    FollowGrid();
}

void CLeftView::FollowGrid() {
    if (!grid_ || topLevelItemCount() == 0)
        return;
    // The item of what the grid shows now, by the command itself: numbers may have moved.
    int item = grid_->ShownItem();
    if (item > 0) {
        const CCmnd* shown = grid_->ShownCommand();
        item = kDeviceItem; // unless the command is still there
        const auto& list = doc_.Protocol().m_poCmndList;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i].get() == shown)
                item = static_cast<int>(i) + 1;
    }
    if (item == kCategoryItem)
        return;
    if (QTreeWidgetItem* found = FindItem(topLevelItem(0), item)) {
        quiet_ = true;
        setCurrentItem(found);
        quiet_ = false;
    }
}

int CLeftView::SelectedItem() const {
    return ItemNumber(currentItem());
}

void CLeftView::SelectItem(int item) {
    if (topLevelItemCount() == 0)
        return;
    if (QTreeWidgetItem* found = FindItem(topLevelItem(0), item)) {
        for (QTreeWidgetItem* up = found->parent(); up; up = up->parent())
            up->setExpanded(true);
        setCurrentItem(found);
    }
}

bool CLeftView::SelectedIsSingle() const {
    const QTreeWidgetItem* item = currentItem();
    return item && item->childCount() == 0;
}

void CLeftView::OnUpdate(platform::View*, long hint, void* object) {
    if (hint == kHintRebuild) {
        FillTree();
    } else if (hint == kHintCommandAdded && object) {
        const auto& list = doc_.Protocol().m_poCmndList;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].get() == object) {
                model_.AddCommandNode(i, *list[i]);
                model_.SortRoot();
                Render(true);
                break;
            }
        }
    }
}

void CLeftView::CopyCommand(bool cut) {
    QTreeWidgetItem* selected = currentItem();
    if (!selected)
        return;
    if (selected->childCount() > 0) {
        platform::ShowMessage("I can't do that with a group of commands.\nPlease select an "
                              "individual command to copy or cut.");
        return;
    }
    const int item = ItemNumber(selected);
    CCmnd* command = CommandOfItem(doc_.Protocol(), item);
    if (!command || !services_.scratch)
        return;
    CopyCommandTexts(*command, *services_.scratch);
    if (cut) {
        auto& list = doc_.Protocol().m_poCmndList;
        list.erase(list.begin() + (item - 1));
        doc_.SetModifiedFlag(true);
        doc_.UpdateAllViews(nullptr, kHintRebuild);
    }
}

void CLeftView::Append(std::unique_ptr<CCmnd> command) {
    CCmnd* added = command.get();
    doc_.Protocol().m_poCmndList.push_back(std::move(command));
    doc_.SetModifiedFlag(true);
    doc_.UpdateAllViews(nullptr, kHintCommandAdded, added);
}

void CLeftView::OnEditPaste() {
    if (!services_.scratch)
        return;
    auto command = std::make_unique<CCmnd>(services_.scratch->m_strName);
    CopyCommandTexts(*services_.scratch, *command);
    Append(std::move(command));
}

void CLeftView::OnNewCommand() {
    Append(MakeNewCommand());
}

void CLeftView::OnRemoveCommand() {
    QTreeWidgetItem* selected = currentItem();
    const int item = ItemNumber(selected);
    if (!selected || !CommandOfItem(doc_.Protocol(), item))
        return;
    const std::string question = "Are you sure you want to delete the entire command\n\n\" " +
                                 platform::qt::FromQString(selected->text(0)) + " \" ?\n";
    if (platform::ShowMessage(question, platform::MsgButtons::YesNo, platform::MsgIcon::Question) !=
        platform::MsgResult::Yes)
        return;
    auto& list = doc_.Protocol().m_poCmndList;
    list.erase(list.begin() + (item - 1));
    doc_.SetModifiedFlag(true);
    doc_.UpdateAllViews(nullptr, kHintRebuild);
}

bool CLeftView::OnCommand(unsigned id) {
    return commands_.Run(id);
}

bool CLeftView::OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) {
    return commands_.Update(id, ui);
}

bool CLeftView::HasCommandHandler(unsigned id) const {
    return commands_.Has(id);
}

} // namespace pactwright
