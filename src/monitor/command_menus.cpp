#include "monitor/command_menus.h"

#include "monitor/command_texts.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

// The tag with byte `index` (1 server, 2 VRG, 3 run) set to value.
uint32_t WithByte(uint32_t tag, int index, uint8_t value) {
  const int shift = 8 * index;
  return (tag & ~(0xFFu << shift)) | static_cast<uint32_t>(value) << shift;
}

CommandMenuItem Item(std::string caption, uint32_t tag) {
  CommandMenuItem item;
  item.caption = std::move(caption);
  item.tag = tag;
  return item;
}

void AddRunLevel(CommandMenuItem& parent, const CommandTargets& targets, uint8_t vrg) {
  const int runs = targets.RunsOf(vrg);
  for (int r = 0; r < runs; ++r) {
    parent.children.push_back(
        Item(Format("Нитка %d", r + 1), WithByte(parent.tag, 3, static_cast<uint8_t>(r))));
  }
  parent.children.push_back(Item("Все нитки ВРГ", WithByte(parent.tag, 3, kAllTargets)));
}

void AddVrgLevel(CommandMenuItem& parent, const CommandTargets& targets) {
  for (size_t i = 0; i < targets.vrgs.size(); ++i) {
    const uint8_t vrg = static_cast<uint8_t>(i);
    CommandMenuItem item =
        Item(Format("ВРГ %d (адр. %d)", static_cast<int>(i) + 1, targets.vrgs[i].address),
             WithByte(parent.tag, 2, vrg));
    AddRunLevel(item, targets, vrg);
    parent.children.push_back(std::move(item));
  }
  CommandMenuItem all = Item("Все подключенные ВРГ   ", WithByte(parent.tag, 2, kAllTargets));
  AddRunLevel(all, targets, kAllTargets);
  parent.children.push_back(std::move(all));
}

void AddServerLevel(CommandMenuItem& parent, const CommandTargets& targets) {
  std::vector<std::pair<std::string, uint8_t>> servers = {{targets.server_labels[0], 0}};
  if (targets.server_count > 1) servers.push_back({targets.server_labels[1], 1});
  servers.push_back({"Все серверы    ", kAllTargets});
  for (auto& [caption, server] : servers) {
    CommandMenuItem item = Item(caption, WithByte(parent.tag, 1, server));
    AddVrgLevel(item, targets);
    parent.children.push_back(std::move(item));
  }
}

void CollectLeaves(const CommandMenuItem& item, std::vector<uint32_t>& tags) {
  if (!item.visible) return;
  if (item.Leaf()) {
    tags.push_back(item.tag);
    return;
  }
  for (const CommandMenuItem& child : item.children) CollectLeaves(child, tags);
}

}  // namespace

std::vector<CommandMenuItem> BuildCommandMenus(const CommandTargets& targets) {
  std::vector<CommandMenuItem> menus;
  for (int code = 1; code <= 13; ++code) {
    CommandMenuItem item = Item(CommandMenuCaption(code), CommandTag(static_cast<uint8_t>(code)));
    item.name = Format("no%d", code);
    const CommandChoices choices = ChoicesOf(code);
    if (CommandMenuHidden(code)) {
      item.visible = false;
    } else if (choices.server) {
      AddServerLevel(item, targets);
    } else if (choices.vrg) {
      AddVrgLevel(item, targets);
    }
    menus.push_back(std::move(item));
  }
  CommandMenuItem restart = Item(CommandMenuCaption(kRestartCode), kRestartCode);
  restart.name = "no14";
  menus.push_back(std::move(restart));
  return menus;
}

std::vector<uint32_t> CommandLeafTags(const std::vector<CommandMenuItem>& menus) {
  std::vector<uint32_t> tags;
  for (const CommandMenuItem& item : menus) CollectLeaves(item, tags);
  return tags;
}

}  // namespace kvarta
