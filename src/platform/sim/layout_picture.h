// The layout picture of a simulated run: plain data and the self-contained HTML page drawn from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::sim {

// The roles a partition can play, in the order their colours are given.
enum class PartitionRole { Pbr, System, Os, Recovery };

struct PicturePartition {
  int64_t sizeMB = 0;
  std::optional<std::string> label;  // UTF-8; empty optional: no file system
  std::string type;
  bool hidden = false;               // not listed by WMI
  bool created = false;              // made by the run (on a disk it cleaned)
  std::vector<std::string> letters;  // "M:" form
  std::vector<PartitionRole> roles;
};

struct PictureDisk {
  int index = 0;
  std::string model;
  std::string style;  // "gpt" or "mbr"
  int64_t sizeMB = 0;
  bool cleaned = false;
  std::vector<std::string> diskRoles;  // "SSD", "HDD"
  std::vector<PicturePartition> partitions;
};

// A letter whose target is not a partition of a pictured disk.
struct PictureLetter {
  std::string letter;
  std::string target;
  std::string note;  // the volume's label, or why there is none
};

struct PictureWarning {
  std::string kind;
  std::string text;
};

struct LayoutPicture {
  std::string name;
  std::string description;
  std::string road;  // "register", "rapid-start" or "none"
  std::optional<bool> ssdHddMode;
  std::optional<bool> miniSsd;
  std::optional<bool> rapidStart;
  uint64_t simulatedMs = 0;
  std::vector<PictureDisk> before;  // the disks as loaded
  std::vector<PictureDisk> after;   // the disks as the run left them
  std::vector<PictureLetter> otherLettersBefore;
  std::vector<PictureLetter> otherLettersAfter;
  std::vector<std::string> unplacedRoles;  // roles whose partition no pictured disk holds
  std::vector<PictureWarning> warnings;
};

// The whole page: UTF-8, inline SVG and CSS, nothing loaded from elsewhere.
std::string RenderLayoutPicture(const LayoutPicture& picture);

// Widths of the segments of a bar `total` wide: proportional to the sizes, none narrower than its
// minimum; when the minimums alone do not fit, they are scaled down to fit exactly.
std::vector<double> SegmentWidths(const std::vector<int64_t>& sizes,
                                  const std::vector<double>& minimums, double total);

// Text made safe for HTML content and attribute values; invalid UTF-8 and control characters
// become U+FFFD.
std::string EscapeHtml(const std::string& text);

}  // namespace quorvane::sim
