#pragma once

#include "runtime/Object.h"
#include "runtime/Server.h"

#include <string>
#include <string_view>

namespace quillet {

using runtime::Guid;
using runtime::guid;

// Live objects and server locks of the Quillet module.
extern runtime::ModuleLife moduleLife;

inline constexpr Guid CLSID_clsExtCommand = guid("{78F6D195-85CF-4827-9931-53BFE1ED4EA2}");
inline constexpr Guid CLSID_clsExtension = guid("{34F398C1-4AD3-4201-8234-1D0D0133FAEF}");
inline constexpr Guid CLSID_clsExtToolBar = guid("{E4C1E109-8DF1-4003-BEDD-7DC5D388135C}");
inline constexpr Guid LIBID_Quillet = guid("{85C94BC9-40F7-4487-ADBE-4CF4AC513663}");

inline constexpr char progIdCommand[] = "Quillet.clsExtCommand";
inline constexpr char progIdExtension[] = "Quillet.clsExtension";
inline constexpr char progIdToolBar[] = "Quillet.clsExtToolBar";

// A ProgID as the host interfaces take it: UTF-16 (ProgIDs are ASCII).
inline std::u16string progId16(std::string_view progId) { return {progId.begin(), progId.end()}; }

// The server's project description: its classes and type library.
const runtime::ServerDescription& serverDescription();

} // namespace quillet
