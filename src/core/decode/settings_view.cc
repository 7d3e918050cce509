#include "core/decode/settings_view.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/decode/disassembler.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"

namespace vigil {
namespace {

constexpr int kPartitionBase = kFirstPartitionId - 1;  // partition k has module id 100 + k

std::string Join(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text.empty() ? "none" : text;
}

std::string PartitionLabel(int k, const SiteNames& names) {
  std::string text = "partition " + std::to_string(k);
  auto it = names.modules.find(kPartitionBase + k);
  if (it != names.modules.end()) text += " (" + it->second + ")";
  return text;
}

std::string ModuleLines(int module, const std::vector<const ModuleSetting*>& settings) {
  std::vector<std::string> door;
  std::string lines;
  for (const ModuleSetting* setting : settings) {
    int value = setting->low;
    switch (setting->item) {
      case kEventMaskItem:
        lines +=
            "    saved events: " + Join(SavedDevices(module, value + 256 * setting->high)) + "\n";
        break;
      case kTypeItem:
        if (module == kControllerId) {
          lines += std::string("    user events saved: ") + (value != 0 ? "yes" : "no") + "\n";
        } else {
          door.push_back("type " + std::to_string(value));
        }
        break;
      case kStrikeTimeItem:
        door.push_back("strike time " + std::to_string(value));
        break;
      case kAjarTimeItem:
        door.push_back("ajar time " + std::to_string(value));
        break;
      case kCardTimeoutItem:
        door.push_back("card time-out " + std::to_string(value));
        break;
      case kPartitionItem:
        door.push_back("partition " + std::to_string(value));
        break;
      default:
        lines += "    item " + std::to_string(setting->item) + ": " + std::to_string(value) + " " +
                 std::to_string(setting->high) + "\n";
    }
  }
  return door.empty() ? lines : "    " + Join(door) + "\n" + lines;
}

class TreeDrawer {
 public:
  TreeDrawer(std::string_view tree, const SiteNames& names) : tree_(tree), names_(names) {}

  std::string Draw() {
    std::string text = "  root (alarm panel)\n";
    Children(0, "  ");
    text += drawn_;
    for (int k = 1; k <= 8; ++k) {
      char c = tree_[static_cast<size_t>(k - 1)];
      if (c == '*' || reached_[static_cast<size_t>(k)]) continue;
      text += "  " + PartitionLabel(k, names_) + ": under partition " + std::string(1, c) +
              ", not reached from the root\n";
    }
    return text;
  }

 private:
  // The partitions under `parent` (0: the root).
  void Children(int parent, const std::string& prefix) {
    char mark = parent == 0 ? 'R' : static_cast<char>('0' + parent);
    std::vector<int> children;
    for (int k = 1; k <= 8; ++k) {
      if (tree_[static_cast<size_t>(k - 1)] == mark && !reached_[static_cast<size_t>(k)]) {
        children.push_back(k);
      }
    }
    for (int child : children) reached_[static_cast<size_t>(child)] = true;
    for (size_t i = 0; i < children.size(); ++i) {
      bool last = i + 1 == children.size();
      drawn_ += prefix + (last ? "`-- " : "+-- ") + PartitionLabel(children[i], names_) + "\n";
      Children(children[i], prefix + (last ? "    " : "|   "));
    }
  }

  std::string_view tree_;
  const SiteNames& names_;
  std::string drawn_;
  std::array<bool, 9> reached_{};
};

}  // namespace

std::string DrawPartitionTree(std::string_view tree, const SiteNames& names) {
  return TreeDrawer(tree, names).Draw();
}

std::string FormatSettings(const DownloadImage& image, const SiteNames& names) {
  std::string text = "Parameters\n";
  for (const ParameterSetting& parameter : image.parameters) {
    auto it = names.parameters.find(parameter.id);
    text += "  parameter " + std::to_string(parameter.id) +
            (it == names.parameters.end() ? "" : " (" + it->second + ")") + " = " +
            std::to_string(parameter.value) + "\n";
  }
  if (image.parameters.empty()) text += "  none\n";

  text += "\nModules\n";
  std::vector<int> order;
  for (const ModuleSetting& setting : image.module_settings) {
    if (std::find(order.begin(), order.end(), setting.module) == order.end()) {
      order.push_back(setting.module);
    }
  }
  for (int module : order) {
    std::vector<const ModuleSetting*> settings;
    for (const ModuleSetting& setting : image.module_settings) {
      if (setting.module == module) settings.push_back(&setting);
    }
    text += "  " + ModuleDescription(module, names) + "\n" + ModuleLines(module, settings);
  }
  if (order.empty()) text += "  none\n";

  text += "\nPartition tree\n";
  text += image.partition_tree ? DrawPartitionTree(*image.partition_tree, names)
                               : std::string("  no partition tree record\n");
  return text;
}

}  // namespace vigil
