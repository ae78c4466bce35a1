// Texts kept in one place and used by several rooms: the diagnostic flags
// (the table description and the diagnostics window), the command captions
// (the main menu and the command menus) and the modem names (configuration
// files and session record files).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "app/main_menu.h"
#include "config/config_file.h"
#include "config/identification.h"
#include "link/table_layout.h"
#include "monitor/command_menus.h"
#include "monitor/diagnostics.h"
#include "monitor/session_record.h"

namespace kvarta {
namespace {

constexpr int kFlagFields[] = {0, 1, 6, 7, 8, 9};

TEST(SharedTexts, EveryDescribedFlagDecodesToItsTitleAndNoOtherBitDoes) {
  std::set<std::pair<int, int>> described;  // byte offset, bit
  for (const ParamSpec& p : TableParams(17)) {
    if (p.type != ParamType::kBit) continue;
    described.insert({p.offset, p.bit});
    uint8_t t[kDiagnosticBytes] = {};
    SetNumber(t, p, 1);
    const std::vector<std::string> lines = DecodeDiagnostics(t);
    ASSERT_EQ(lines.size(), 7u) << p.name;  // the six summary lines and the flag
    EXPECT_NE(std::find(lines.begin(), lines.end(), p.title), lines.end())
        << p.name << ": " << p.title;
  }
  EXPECT_EQ(described.size(), 2 * 32u + 4 * (8 + 3 * 26u));
  for (int field : kFlagFields) {
    for (int byte = 0; byte < 14; ++byte) {
      for (int bit = 0; bit < 8; ++bit) {
        const int offset = field * 14 + byte;
        if (described.count({offset, bit})) continue;
        uint8_t t[kDiagnosticBytes] = {};
        t[offset] = static_cast<uint8_t>(1u << bit);
        const std::vector<std::string> lines = DecodeDiagnostics(t);
        const std::string unknown = "Неизвестное сообщение (поле " + std::to_string(field) +
                                    ", байт " + std::to_string(byte) + ", бит " +
                                    std::to_string(bit) + ")";
        EXPECT_NE(std::find(lines.begin(), lines.end(), unknown), lines.end()) << unknown;
      }
    }
  }
}

TEST(SharedTexts, TheMainMenuCarriesTheCommandMenusCaptions) {
  const auto& tree = MainMenuTree();
  for (const CommandMenuItem& command : BuildCommandMenus(CommandTargets{})) {
    const auto item = std::find_if(tree.begin(), tree.end(),
                                   [&](const MenuItemSpec& i) { return i.name == command.name; });
    ASSERT_NE(item, tree.end()) << command.name;
    EXPECT_EQ(std::make_tuple(item->caption, static_cast<uint32_t>(item->tag), item->parent),
              std::make_tuple(command.caption, command.tag, std::string("NCommand")));
  }
  // The command items follow "Команда контроллеру" and end the "Наладка" menu.
  const auto no1 =
      std::find_if(tree.begin(), tree.end(), [](const MenuItemSpec& i) { return i.name == "no1"; });
  ASSERT_NE(no1, tree.begin());
  EXPECT_EQ((no1 - 1)->name, "NCommand");
  EXPECT_EQ((no1 + 14)->name, "Nconnect");
}

TEST(SharedTexts, AModemWithoutANameGivesBothFileNamesTheSameForm) {
  EXPECT_EQ(ModemTypeName(1), "mc55iT");
  EXPECT_EQ(ModemTypeName(7), "");
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  record.bytes[ConfigFileRecord::kModemOffset] = 7;
  const LocalDateTime now{2026, 3, 24, 13, 5, 0};
  EXPECT_NE(ProposedConfigFileName(record, now).find("-modem7-"), std::string::npos);
  SessionFileNaming naming;
  naming.modem_code = 7;
  EXPECT_NE(ProposedSessionFileName("/x", naming, now).find("-modem7-"), std::string::npos);
  naming.modem_code = 0;
  EXPECT_NE(ProposedSessionFileName("/x", naming, now).find("-sc3000-"), std::string::npos);
}

}  // namespace
}  // namespace kvarta
