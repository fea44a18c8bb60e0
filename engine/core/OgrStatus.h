#pragma once

// GDAL reports failures as OGRErr codes and through its error state; both
// become failing statuses here.

#include "runtime/Status.h"

#include <ogr_core.h>

#include <functional>
#include <string>

class GDALDataset;
class OGRFeature;

namespace engine {

runtime::HResult statusOf(OGRErr err) noexcept;

// Runs one SQL statement of the data source's own dialect that returns no
// rows; fails when GDAL reports an error.
runtime::HResult executeSql(GDALDataset& dataset, const std::string& sql);

// Runs a query and hands each row to `visit`; fails when GDAL reports an
// error.
runtime::HResult querySql(GDALDataset& dataset, const std::string& sql,
                          const std::function<void(OGRFeature&)>& visit);

// An identifier or a text literal of SQL, quoted.
std::string quoteIdentifier(const std::string& name);
std::string quoteLiteral(const std::string& text);

// Keeps GDAL's messages off the console while a probe is expected to fail.
class QuietErrors {
public:
    QuietErrors();
    ~QuietErrors();
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
};

} // namespace engine
