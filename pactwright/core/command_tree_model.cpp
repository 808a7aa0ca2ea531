#include "pactwright/core/command_tree_model.h"

#include <algorithm>

namespace pactwright {

void CommandTreeModel::Fill(const CProtocol& protocol) {
    root_ = TreeNode{protocol.m_strDescription, kDeviceItem, {}};
    for (std::size_t i = 0; i < protocol.m_poCmndList.size(); ++i)
        AddCommandNode(i, *protocol.m_poCmndList[i]);
    SortRoot();
}

void CommandTreeModel::AddCommandNode(std::size_t position, const CCmnd& command) {
    const int item = static_cast<int>(position) + 1;
    const std::string category = command.GetCategory();
    const std::string name = command.GetCommandName();
    if (name.empty()) {
        root_.children.push_back(TreeNode{category, item, {}});
        return;
    }
    bool matched = false;
    for (TreeNode& child : root_.children) {
        if (child.text == category) {
            child.children.push_back(TreeNode{name, item, {}});
            matched = true;
        }
    }
    if (!matched)
        root_.children.push_back(TreeNode{category, kCategoryItem, {TreeNode{name, item, {}}}});
}

void CommandTreeModel::SortRoot() {
    // ASCII only: the order must not follow the user's locale.
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    std::stable_sort(
        root_.children.begin(), root_.children.end(), [&](const TreeNode& a, const TreeNode& b) {
            return std::lexicographical_compare(a.text.begin(), a.text.end(), b.text.begin(),
                                                b.text.end(), [&](char x, char y) {
                                                    return lower(static_cast<unsigned char>(x)) <
                                                           lower(static_cast<unsigned char>(y));
                                                });
        });
}

} // namespace pactwright
