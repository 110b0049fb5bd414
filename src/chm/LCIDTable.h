#pragma once

#include <QString>

#include <cstdint>

namespace LCIDTable {

// The Windows code page name ("CP1252", "CP932", ...) of a locale identifier; null for the
// identifiers the table does not list.
QString codePageForLCID(std::int32_t lcid);

} // namespace LCIDTable
