// The simulated WMI: locator, services, enumerators and the rows of the classes the engine reads.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/wql.h"

namespace quorvane::sim {

class SimPlatform;

// Result codes the simulated COM and WMI give on failure.
namespace hr {
constexpr int32_t kEAccessDenied = static_cast<int32_t>(0x80070005u);
constexpr int32_t kRpcEChangedMode = static_cast<int32_t>(0x80010106u);
constexpr int32_t kCoENotInitialized = static_cast<int32_t>(0x800401F0u);
constexpr int32_t kRegdbEClassNotReg = static_cast<int32_t>(0x80040154u);
constexpr int32_t kWbemEFailed = static_cast<int32_t>(0x80041001u);
constexpr int32_t kWbemEAccessDenied = static_cast<int32_t>(0x80041003u);
constexpr int32_t kWbemEInvalidNamespace = static_cast<int32_t>(0x8004100Eu);
constexpr int32_t kWbemEInvalidClass = static_cast<int32_t>(0x80041010u);
constexpr int32_t kWbemEInvalidQuery = static_cast<int32_t>(0x80041017u);
}  // namespace hr

using WmiRow = std::vector<std::pair<std::wstring_view, WmiValue>>;  // names are literals

// Values as VariantChangeType to VT_BSTR sees them: integers give their decimal
// text; 64-bit numbers arrive as text, as WMI hands them over; null gives none.
WmiValue WmiInteger(int64_t value);
WmiValue WmiNumericText(int64_t value);
WmiValue WmiText(const std::wstring& text);
WmiValue WmiNull();
WmiValue WmiBytes(const std::vector<uint8_t>& bytes);

// The rows of a class of root\cimv2 as the machine stands; empty optional for
// a class the simulator does not know. With a query, rows whose DeviceID or MediaType the query's
// test rules out are not built (the caller still applies the whole test).
std::optional<std::vector<WmiRow>> Cimv2Rows(const SimPlatform& machine,
                                             const std::wstring& className,
                                             const WqlQuery* query = nullptr);

std::unique_ptr<WmiLocator> MakeWmiLocator(SimPlatform& machine);

}  // namespace quorvane::sim
