// The type library PlandraOCX as IDL text, written from the control's member tables so
// that what COM clients see cannot drift from the class.
#pragma once

#include <string>
#include <string_view>

namespace plandra::ocx {

/// The identifiers of the library, its classes and their interfaces; fixed for good,
/// since compiled hosts hold them.
namespace ids {
inline constexpr std::string_view PlandraOCX = "92469143-EF61-44DC-9829-C2CC23122823";
inline constexpr std::string_view DXFInterface = "D01C3E80-1848-4751-BB78-8480CEFF79A1";
inline constexpr std::string_view DXFEvents = "CD8E1B03-89FD-423A-A971-780E6E076E5F";
inline constexpr std::string_view DXF = "270DD446-56DE-4D0F-B2A0-F29FD4BA9435";
inline constexpr std::string_view DXFLayersInterface = "E06DA8D9-B540-46BC-AC39-C5105C882706";
inline constexpr std::string_view DXFLayers = "FD6117D9-0865-4494-9BE2-71A1D684454C";
inline constexpr std::string_view DXFLayerInterface = "11C09269-B30B-4A3D-97F2-4E3382A13D42";
inline constexpr std::string_view DXFLayer = "E028ECEA-8A98-44B9-BFF8-79FEBC67EDE7";
inline constexpr std::string_view ppAppearance = "0CC090A8-F0DA-4288-92EA-E76BA3CCD3DB";
} // namespace ids

/// The ProgID under which scripts create the control.
inline constexpr std::string_view ControlProgId = "PlandraOCX.DXF";

/// The IDL of the type library: the seven enumerations, _DXF with every member of the
/// member table, __DXF, and the classes DXF, DXFLayers, DXFLayer and ppAppearance.
std::string TypeLibraryIdl();

} // namespace plandra::ocx
