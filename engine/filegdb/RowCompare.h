#pragma once

// Whether a change through a driver that cannot be trusted touched anything
// besides what it was asked to change: the table before and after, read
// at once (the one before on a thread of its own), a few batches of rows
// ahead at most, so that memory does not grow with the table.

#include <functional>
#include <string>
#include <vector>

class OGRFeature;
class OGRLayer;

namespace engine {

// Whether every row of `after` holds what the row of the same feature id
// in `before` holds, in the fields `fields` (found by name in each) and in
// every geometry, both read in feature id order. When not, `row` is the
// first feature id that differs, or -1 when the rows themselves do (a
// field missing, a row more or less, a row that cannot be read). Each row
// of `after` must also pass `alsoHolds`, in the same reading.
bool sameRows(OGRLayer& before, OGRLayer& after, const std::vector<std::string>& fields, long long& row,
              const std::function<bool(const OGRFeature& row)>& alsoHolds = {});

} // namespace engine
