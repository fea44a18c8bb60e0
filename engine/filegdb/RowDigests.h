#pragma once

// A digest of every row of a table (its geometry and the values of chosen
// fields), to tell after a change through a driver that cannot be trusted
// whether it touched anything besides what it was asked to change.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class OGRLayer;

namespace engine {

// By feature id, in the order the layer gives its rows.
using RowDigests = std::vector<std::pair<long long, std::uint64_t>>;

// False when a row cannot be read.
bool digestRows(OGRLayer& layer, const std::vector<std::string>& fields, RowDigests& digests);

// The first feature id whose row differs (-1: the number of rows does), or
// none (returns false).
bool firstDifference(const RowDigests& before, const RowDigests& after, long long& row);

} // namespace engine
