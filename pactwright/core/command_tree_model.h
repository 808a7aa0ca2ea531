// The command tree as data: a root for the device, under it the categories and the commands
// without a category, and the commands under their categories. The tree widget shows this
// model; building it is plain so it is tested without a display.
#pragma once

#include "script/protocol.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pactwright {

// Item numbers: 0 the device, -1 a category, n the command at list position n - 1.
constexpr int kDeviceItem = 0;
constexpr int kCategoryItem = -1;

struct TreeNode {
    std::string text;
    int item = kDeviceItem;
    std::vector<TreeNode> children;
};

class CommandTreeModel {
public:
    // Builds the whole tree: the root with the Description, every command, the root's
    // children sorted.
    void Fill(const CProtocol& protocol);
    // Adds the command at list position `position`: under every root child whose text equals
    // its category (case counts), else under a new category item, or directly under the root
    // when its name has no command part. Does not sort.
    void AddCommandNode(std::size_t position, const CCmnd& command);
    // Sorts the root's children by text without regard to case; deeper levels keep their
    // order. Equal texts keep their order.
    void SortRoot();

    const TreeNode& Root() const { return root_; }

private:
    TreeNode root_;
};

} // namespace pactwright
