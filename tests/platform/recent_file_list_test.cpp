#include "platform/recent_file_list.h"

#include <gtest/gtest.h>

namespace {

using List = std::vector<std::string>;

TEST(RecentFileList, NewestFirstWithoutRepeatsAndAtMostFour) {
    CRecentFileList recent;
    for (const char* path : {"a", "b", "c", "d", "e"})
        recent.Add(path);
    EXPECT_EQ(recent.Entries(), (List{"e", "d", "c", "b"}));
    recent.Add("c"); // an entry opened again moves to the front
    EXPECT_EQ(recent.Entries(), (List{"c", "e", "d", "b"}));
    recent.Remove("e");
    recent.Remove("absent");
    EXPECT_EQ(recent.Entries(), (List{"c", "d", "b"}));
}

} // namespace
