// The comparison entry sits beside "Сохранение параметров конфигурации в
// файле" and is offered exactly where that entry is.
#include <gtest/gtest.h>

#include "app/main_menu.h"

namespace kvarta {
namespace {

TEST(ConfigMenuEntriesTest, ComparisonFollowsTheSaveEntry) {
  const std::vector<MenuItemSpec>& tree = MainMenuTree();
  size_t save = tree.size(), compare = tree.size();
  for (size_t i = 0; i < tree.size(); ++i) {
    if (tree[i].name == "Nrdcnf") save = i;
    if (tree[i].name == "NCmpCnf") compare = i;
  }
  ASSERT_LT(compare, tree.size());
  EXPECT_EQ(compare, save + 1);
  EXPECT_EQ(tree[compare].parent, tree[save].parent);
  EXPECT_EQ(tree[compare].caption, "Сравнить с файлом конфигурации");

  for (const bool connected : {false, true}) {
    for (const bool write_access : {false, true}) {
      MenuInputs in;
      in.connected = connected;
      in.write_access = write_access;
      const MainMenuState state = RefreshMainMenu(in);
      EXPECT_EQ(state.Visible("NCmpCnf"), state.Visible("Nrdcnf")) << connected << write_access;
      EXPECT_EQ(state.Visible("NCmpCnf"), connected);
    }
  }
}

}  // namespace
}  // namespace kvarta
