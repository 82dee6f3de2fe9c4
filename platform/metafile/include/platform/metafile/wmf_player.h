// The standard-metafile (WMF) player: reads the records of a metafile held in memory
// and draws them through a GdiService, mapping the metafile's coordinates itself.
#pragma once

#include "platform/gdi.h"

#include <cstdint>
#include <span>
#include <string>

namespace platform::metafile {

/// Where a device context puts logical coordinates. In the anisotropic mode a point
/// lands at (logical - WindowOrg) * ViewportExt / WindowExt + ViewportOrg; in every
/// other mode the extents are left out (one logical unit is one pixel).
struct Mapping {
    int Mode = mm::Text;
    Point WindowOrg;
    Size WindowExt{1, 1};
    Point ViewportOrg;
    Size ViewportExt{1, 1};
};

/// The most bytes a metafile may hold; larger ones are refused rather than walked.
inline constexpr std::size_t MostWmfBytes = 64u << 20;

/// Whether `bytes` hold a whole standard metafile (no placeable header): empty when
/// they do, else why not.
std::string CheckWmf(std::span<const std::uint8_t> bytes);

/// Checks the metafile, then plays its records onto `dc` with the device context's
/// `mapping`; records that set the window origin and extent change it for the rest of
/// the play. Unknown records are passed over. The objects the metafile makes are
/// deleted at the end, and the pen, brush, font, colours and modes it changed are set
/// back. Empty when the whole metafile was played, else why it stopped.
std::string PlayWmf(GdiService& gdi, HDC dc, std::span<const std::uint8_t> bytes,
                    const Mapping& mapping);

} // namespace platform::metafile
