#include "gui/monitor/command_menu_view.h"

#include <QAction>
#include <QMenu>

#include "monitor/command_texts.h"

namespace kvarta::gui {
namespace {

void AddChildren(QMenu* menu, const CommandMenuItem& parent,
                 const std::function<void(uint32_t)>& on_leaf) {
  for (const CommandMenuItem& item : parent.children) {
    const QString text = QString::fromStdString(item.caption);
    if (item.Leaf()) {
      QAction* leaf = menu->addAction(text);
      leaf->setData(static_cast<qulonglong>(item.tag));
      leaf->setVisible(item.visible);
      const uint32_t tag = item.tag;
      QObject::connect(leaf, &QAction::triggered, leaf, [on_leaf, tag] { on_leaf(tag); });
    } else {
      QMenu* sub = menu->addMenu(text);
      sub->menuAction()->setData(static_cast<qulonglong>(item.tag));
      AddChildren(sub, item, on_leaf);
    }
  }
}

}  // namespace

QString CommandMenuText(const std::string& caption, uint8_t code) {
  const std::string& marker = CommandMenuMarker(code);
  if (marker.empty() || caption.size() <= marker.size() ||
      caption.compare(caption.size() - marker.size(), marker.size(), marker) != 0) {
    return QString::fromStdString(caption);
  }
  const QString name =
      QString::fromStdString(caption.substr(0, caption.size() - marker.size())).trimmed();
  return name + '\t' + QString::fromStdString(marker);
}

void ApplyCommandMenus(const std::map<std::string, QAction*>& actions,
                       const std::vector<CommandMenuItem>& items,
                       const std::function<void(uint32_t)>& on_leaf) {
  for (const CommandMenuItem& item : items) {
    const auto it = actions.find(item.name);
    if (it == actions.end()) continue;
    QAction* action = it->second;
    action->setText(CommandMenuText(item.caption, static_cast<uint8_t>(item.tag & 0xFF)));
    action->setData(static_cast<qulonglong>(item.tag));
    // The old levels may still be on the way out of a click: let them go later.
    if (QMenu* old = action->menu<QMenu*>()) {
      action->setMenu(static_cast<QMenu*>(nullptr));
      old->deleteLater();
    }
    if (item.Leaf()) continue;
    auto* menu = new QMenu(qobject_cast<QWidget*>(action->parent()));
    menu->setObjectName(QString::fromStdString(item.name) + "Menu");
    AddChildren(menu, item, on_leaf);
    action->setMenu(menu);
  }
}

}  // namespace kvarta::gui
