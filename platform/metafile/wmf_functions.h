// The function numbers of the records of a standard metafile (WMF), shared by the
// recorder and the player.
#pragma once

#include <cstdint>

namespace platform::metafile::meta {
inline constexpr std::uint16_t Eof = 0x0000;
inline constexpr std::uint16_t CreatePalette = 0x00F7;
inline constexpr std::uint16_t SetBkMode = 0x0102;
inline constexpr std::uint16_t SetMapMode = 0x0103;
inline constexpr std::uint16_t SetRop2 = 0x0104;
inline constexpr std::uint16_t SetPolyFillMode = 0x0106;
inline constexpr std::uint16_t SelectObject = 0x012D;
inline constexpr std::uint16_t SetTextAlign = 0x012E;
inline constexpr std::uint16_t DibCreatePatternBrush = 0x0142;
inline constexpr std::uint16_t DeleteObject = 0x01F0;
inline constexpr std::uint16_t CreatePatternBrush = 0x01F9;
inline constexpr std::uint16_t SetBkColor = 0x0201;
inline constexpr std::uint16_t SetTextColor = 0x0209;
inline constexpr std::uint16_t SetWindowOrg = 0x020B;
inline constexpr std::uint16_t SetWindowExt = 0x020C;
inline constexpr std::uint16_t LineTo = 0x0213;
inline constexpr std::uint16_t MoveTo = 0x0214;
inline constexpr std::uint16_t CreatePenIndirect = 0x02FA;
inline constexpr std::uint16_t CreateFontIndirect = 0x02FB;
inline constexpr std::uint16_t CreateBrushIndirect = 0x02FC;
inline constexpr std::uint16_t Polygon = 0x0324;
inline constexpr std::uint16_t Polyline = 0x0325;
inline constexpr std::uint16_t Ellipse = 0x0418;
inline constexpr std::uint16_t Rectangle = 0x041B;
inline constexpr std::uint16_t SetPixel = 0x041F;
inline constexpr std::uint16_t TextOut = 0x0521;
inline constexpr std::uint16_t PolyPolygon = 0x0538;
inline constexpr std::uint16_t RoundRect = 0x061C;
inline constexpr std::uint16_t CreateRegion = 0x06FF;
inline constexpr std::uint16_t Arc = 0x0817;
inline constexpr std::uint16_t Pie = 0x081A;
inline constexpr std::uint16_t Chord = 0x0830;
inline constexpr std::uint16_t DibBitBlt = 0x0940;
inline constexpr std::uint16_t ExtTextOut = 0x0A32;
inline constexpr std::uint16_t DibStretchBlt = 0x0B41;
inline constexpr std::uint16_t StretchDib = 0x0F43;
} // namespace platform::metafile::meta
