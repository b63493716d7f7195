#pragma once
// Seal format files: a name seal (".vln") or date seal (".vld") design as
// the byte image of its settings record, main block then extension block.

#include <cstddef>
#include <optional>
#include <string_view>

#include "Records.h"

inline constexpr std::size_t kNameSealFileBytes = sizeof(NameSealMain) + sizeof(NameSealExt);
inline constexpr std::size_t kDateSealFileBytes = sizeof(DateSealMain) + sizeof(DateSealExt);

// The design in the first bytes of a file (callers pass at most the two
// blocks; further bytes are ignored). Nothing when the main block is not
// complete; an incomplete extension block counts as all zero.
std::optional<NameSealRecord> NameSealFromFormatFile(std::string_view bytes);
std::optional<DateSealRecord> DateSealFromFormatFile(std::string_view bytes);
