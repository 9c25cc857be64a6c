// Partition tables: the layout call's growing buffer, its entries and their type GUIDs as text.
#include "platform/win32/drive_layout.h"

#include <cstddef>

namespace quorvane::win32 {
namespace {

using capture::DriveLayout;
using capture::LayoutPartition;

// Room for 128 entries first (a GPT disk's usual table); grown while the driver asks for more.
constexpr DWORD kFirstLayoutBytes =
    sizeof(DRIVE_LAYOUT_INFORMATION_EX) + 127 * sizeof(PARTITION_INFORMATION_EX);
constexpr DWORD kMaxLayoutBytes = 1u << 20;

// `digits` lower-case hex digits of `value`.
std::wstring Hex(uint32_t value, int digits) {
  std::wstring text(static_cast<size_t>(digits), L'0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[i] = L"0123456789abcdef"[value & 0xF];
  return text;
}

// Drivers differ in how they say the buffer is too small.
bool TooSmall(DWORD error) {
  return error == ERROR_INSUFFICIENT_BUFFER || error == ERROR_MORE_DATA ||
         error == ERROR_BAD_LENGTH;
}

}  // namespace

std::wstring GuidText(const GUID& g) {
  std::wstring text = Hex(g.Data1, 8) + L"-" + Hex(g.Data2, 4) + L"-" + Hex(g.Data3, 4) + L"-";
  for (int i = 0; i < 8; ++i) text += (i == 2 ? L"-" : L"") + Hex(g.Data4[i], 2);
  return text;
}

DriveLayout ConvertLayout(const DRIVE_LAYOUT_INFORMATION_EX& info, DWORD bytes) {
  DriveLayout layout;
  layout.style = info.PartitionStyle == PARTITION_STYLE_MBR   ? DriveLayout::Style::Mbr
                 : info.PartitionStyle == PARTITION_STYLE_GPT ? DriveLayout::Style::Gpt
                                                              : DriveLayout::Style::Raw;
  if (layout.style == DriveLayout::Style::Mbr) layout.mbrSignature = info.Mbr.Signature;
  const size_t room = (bytes - offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry)) /
                      sizeof(PARTITION_INFORMATION_EX);
  const size_t count = info.PartitionCount < room ? info.PartitionCount : room;
  for (size_t i = 0; i < count; ++i) {
    const PARTITION_INFORMATION_EX& e = info.PartitionEntry[i];
    LayoutPartition p;
    p.number = e.PartitionNumber;
    p.offset = e.StartingOffset.QuadPart;
    p.length = e.PartitionLength.QuadPart;
    if (e.PartitionStyle == PARTITION_STYLE_MBR) {
      p.mbrType = e.Mbr.PartitionType;
      p.active = e.Mbr.BootIndicator != FALSE;
    } else if (e.PartitionStyle == PARTITION_STYLE_GPT) {
      p.gptType = GuidText(e.Gpt.PartitionType);
    }
    layout.partitions.push_back(std::move(p));
  }
  return layout;
}

capture::Outcome<LayoutBuffer> ReadLayoutBuffer(const LayoutIoctl& ioctl) {
  capture::Outcome<LayoutBuffer> out;
  LayoutBuffer buffer;
  buffer.bytes.resize(kFirstLayoutBytes);
  while (!ioctl(buffer.bytes.data(), static_cast<DWORD>(buffer.bytes.size()), &buffer.returned)) {
    const DWORD error = ::GetLastError();
    if (!TooSmall(error) || buffer.bytes.size() >= kMaxLayoutBytes) {
      out.error = error;
      return out;
    }
    buffer.bytes.resize(buffer.bytes.size() * 2);
  }
  if (buffer.returned < offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) ||
      buffer.returned > buffer.bytes.size()) {
    out.error = ERROR_INVALID_DATA;
    return out;
  }
  out.value = std::move(buffer);
  return out;
}

}  // namespace quorvane::win32
