// The settings records of a download file, readable: script parameters, the
// settings of each module and the partition tree.
#ifndef VIGIL_CORE_DECODE_SETTINGS_VIEW_H_
#define VIGIL_CORE_DECODE_SETTINGS_VIEW_H_

#include <string>

#include "core/formats/download_reader.h"

namespace vigil {

// The "Parameters", "Modules" and "Partition tree" sections; every line ends
// in "\n".
std::string FormatSettings(const DownloadImage& image, const SiteNames& names);

// The partition tree string ("R1******") drawn as a tree under the root.
std::string DrawPartitionTree(std::string_view tree, const SiteNames& names);

}  // namespace vigil

#endif  // VIGIL_CORE_DECODE_SETTINGS_VIEW_H_
