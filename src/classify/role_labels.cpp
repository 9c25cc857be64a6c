// The operating-system label test.
#include "classify/role_labels.h"

#include "base/text.h"

namespace quorvane {

bool IsOsLabel(std::wstring_view label) {
  for (const wchar_t* name : kOsLabels) {
    if (EqualsIgnoreCaseAscii(label, name)) return true;
  }
  return false;
}

}  // namespace quorvane
