#pragma once

// Lengths of RTF tables, in twips, that reader and writer agree on: a cell edge is read
// as at most kMaxRtfTableTwips either way of the margin (1,000 inches), and a cell is at
// least kMinRtfCellTwips wide. The writer keeps what it writes within both, so that a
// table reads back as it was written.
namespace engine {

inline constexpr int kMaxRtfTableTwips = 1440 * 1000;
inline constexpr int kMinRtfCellTwips = 15;

}  // namespace engine
