#pragma once

#include "runtime/Status.h"

#include <string>

namespace gishost {

class FeatureClass;

// Copies every row's value of one attribute field into another in one pass,
// touching no other field and no geometry: one UPDATE in the database's own
// SQL where the driver has it, else a loop over the features inside one
// transaction where the driver has transactions. Rows are streamed, never
// held together in memory.
runtime::HResult copyColumn(FeatureClass& table, const std::string& source, const std::string& target);

// The two ways copyColumn takes, also for measuring one against the other.
runtime::HResult copyColumnBySql(FeatureClass& table, const std::string& source, const std::string& target);
runtime::HResult copyColumnByFeature(FeatureClass& table, const std::string& source, const std::string& target);

} // namespace gishost
