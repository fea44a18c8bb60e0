#include "engine/core/OgrStatus.h"

#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace engine {

runtime::HResult statusOf(OGRErr err) noexcept
{
    switch (err) {
    case OGRERR_NONE:
        return runtime::S_OK;
    case OGRERR_NOT_ENOUGH_MEMORY:
        return runtime::E_OUTOFMEMORY;
    case OGRERR_UNSUPPORTED_OPERATION:
        return runtime::E_NOTIMPL;
    case OGRERR_NON_EXISTING_FEATURE:
        return runtime::E_INVALIDARG;
    default:
        return runtime::E_FAIL;
    }
}

runtime::HResult executeSql(GDALDataset& dataset, const std::string& sql)
{
    CPLErrorReset();
    if (OGRLayer* rows = dataset.ExecuteSQL(sql.c_str(), nullptr, nullptr)) dataset.ReleaseResultSet(rows);
    return CPLGetLastErrorType() >= CE_Failure ? runtime::E_FAIL : runtime::S_OK;
}

runtime::HResult querySql(GDALDataset& dataset, const std::string& sql,
                          const std::function<void(OGRFeature&)>& visit)
{
    CPLErrorReset();
    if (OGRLayer* rows = dataset.ExecuteSQL(sql.c_str(), nullptr, nullptr)) {
        for (auto& row : *rows) visit(*row);
        dataset.ReleaseResultSet(rows);
    }
    return CPLGetLastErrorType() >= CE_Failure ? runtime::E_FAIL : runtime::S_OK;
}

namespace {
std::string quoted(const std::string& text, char quote)
{
    std::string out(1, quote);
    for (char c : text) {
        if (c == quote) out += quote;
        out += c;
    }
    return out + quote;
}
} // namespace

std::string quoteIdentifier(const std::string& name) { return quoted(name, '"'); }
std::string quoteLiteral(const std::string& text) { return quoted(text, '\''); }

QuietErrors::QuietErrors() { CPLPushErrorHandler(CPLQuietErrorHandler); }
QuietErrors::~QuietErrors() { CPLPopErrorHandler(); }

} // namespace engine
