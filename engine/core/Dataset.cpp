#include "engine/core/Dataset.h"

#include "engine/core/Format.h"
#include "engine/core/LockWait.h"
#include "engine/core/Log.h"
#include "engine/core/OgrStatus.h"
#include "engine/postgres/PostgresSql.h"
#include "engine/core/Reasons.h"
#include "engine/core/Settings.h"
#include "engine/core/WorkCopy.h"

#include <cpl_conv.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace engine {

using runtime::HResult;

namespace {

GdalHandle openGdal(const std::string& path, const Format& format, bool update, std::chrono::milliseconds wait)
{
    // SQLite-based drivers wait this long for another program's lock while
    // GDAL opens the dataset.
    const CPLConfigOptionSetter openWait("SQLITE_BUSY_TIMEOUT", std::to_string(wait.count()).c_str(), false);
    const std::vector<std::string> options = format.openOptions();
    std::vector<const char*> list;
    for (const std::string& option : options) list.push_back(option.c_str());
    list.push_back(nullptr);
    auto* dataset =
        GDALDataset::Open(path.c_str(), format.openFlags(update) | GDAL_OF_VERBOSE_ERROR, nullptr, list.data(), nullptr);
    return dataset ? GdalHandle(dataset, [](GDALDataset* d) { GDALClose(d); }) : nullptr;
}

std::string identifiedDriver(const std::string& path)
{
    const QuietErrors quiet;
    GDALDriverH driver = GDALIdentifyDriverEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_RASTER, nullptr, nullptr);
    return driver ? GDALGetDescription(driver) : "";
}

// A connection string ("PG:dbname=...") or one of GDAL's virtual paths,
// which names no folder.
bool namesNoFolder(const std::string& path)
{
    if (path.rfind("/vsi", 0) == 0) return true;
    const std::size_t colon = path.find(':');
    return colon != std::string::npos && colon > 1 &&
           std::all_of(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(colon),
                       [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

// A lock found now is noted as met, for the caller that waits within a LockWait.
bool lockStoodInTheWay(const Format& format, const std::string& path)
{
    if (LockWait::lockStoodInTheWay()) return true;
    if (!format.lockedNow(path)) return false;
    LockWait::noteLockMet();
    return true;
}

std::string whyNotOpened(const std::string& path, const std::string& driver, const Format& format)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && path.find(':') == std::string::npos)
        return path + ": there is no such file or folder.";
    if (lockStoodInTheWay(format, path)) return reason::locked(path, lockTimeout());
    if (!driver.empty() && std::filesystem::exists(path + "-journal", ec)) return reason::crashNeedsWrite(path);
    std::string text = path + ": not a GIS dataset that GDAL can open.";
    if (const char* detail = CPLGetLastErrorMsg(); detail && *detail) text += std::string(" (") + detail + ")";
    return text;
}

} // namespace

Dataset::Dataset(std::string path, std::string driver, const Format& format, GdalHandle gdal, bool readOnly)
    : path_(std::move(path)), driver_(std::move(driver)), format_(&format), gdal_(std::move(gdal)), readOnly_(readOnly)
{
}

Dataset::~Dataset() = default;

std::string Dataset::shownPath() const { return format_->shownPath(path_, name_); }

std::shared_ptr<Dataset> Dataset::open(const std::string& path, std::string& problem)
{
    // A folder swapped halfway by a crash may not even be there.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec) || (!std::filesystem::exists(path, ec) && !namesNoFolder(path)))
        WorkCopy::recover(path);
    const std::string identified = identifiedDriver(path);
    const Format& format = formatFor(identified);
    format.recover(path);
    CPLErrorReset();
    GdalHandle gdal;
    if (format.readsThroughGdal()) {
        const QuietErrors quiet;
        gdal = openGdal(path, format, false, lockTimeout());
        if (!gdal) {
            problem = format.whyNotOpened(path);
            // A connection string GDAL did not take may still hold a password.
            if (problem.empty()) problem = pg::hidePasswords(whyNotOpened(path, identified, format), path);
            return nullptr;
        }
    }
    GDALDriver* driver = gdal ? gdal->GetDriver() : nullptr;
    const std::string driverName = driver ? driver->GetDescription() : identified;
    const Format& opened = formatFor(driverName);
    if (gdal) opened.connected(*gdal);
    const bool noVectors = gdal && gdal->GetLayerCount() == 0;
    std::shared_ptr<Dataset> dataset(
        new Dataset(path, driverName, opened, std::move(gdal), noVectors || !opened.writable(path)));
    dataset->hasRaster_ = dataset->gdal_ && dataset->gdal_->GetRasterCount() > 0;
    dataset->name_ = opened.datasetName(dataset->gdal_.get(), path);
    dataset->tables_ = opened.tableNames(path, dataset->gdal_.get());
    dataset->stamps_ = stampsOf(opened.watchedFiles(path));
    dataset->version_ = dataset->versionNow();
    dataset->readSchemas();
    // Where GDAL did not open it, the tables read are what says it opens.
    if (!opened.readsThroughGdal() && (dataset->tables_.empty() || dataset->schemas_.size() != dataset->tables_.size())) {
        problem = whyNotOpened(path, identified, format);
        return nullptr;
    }
    return dataset;
}

std::string Dataset::versionNow() const { return gdal_ ? format_->version(*gdal_) : std::string(); }

bool Dataset::refreshIfChanged()
{
    const auto now = stampsOf(format_->watchedFiles(path_));
    const bool changedOnDisk = now != stamps_ || versionNow() != version_;
    if (!changedOnDisk && !stale_ && !unread_) return false;
    if (runtime::failed(renewView(std::chrono::milliseconds(0))))
        return changedOnDisk; // reading never waits: while the files are locked, what was read stands
    if ((changedOnDisk || unread_) && readSchemas()) {
        stamps_ = now;
        version_ = versionNow();
        unread_ = false;
    }
    return changedOnDisk;
}

HResult Dataset::renewView(std::chrono::milliseconds wait)
{
    if (format_->readsThroughGdal()) return reopen(updating_, wait);
    gdal_.reset(); // opened again when rows are read
    stale_ = false;
    return runtime::S_OK;
}

HResult Dataset::reopen(bool update, std::chrono::milliseconds wait)
{
    const QuietErrors quiet;
    CPLErrorReset();
    GdalHandle reopened = openGdal(path_, *format_, update, wait);
    if (!reopened) return runtime::E_FAIL;
    format_->connected(*reopened);
    gdal_ = std::move(reopened);
    updating_ = update;
    stale_ = false;
    return runtime::S_OK;
}

bool Dataset::readableNow() const
{
    const QuietErrors quiet;
    return openGdal(path_, *format_, false, std::chrono::milliseconds(0)) != nullptr;
}

bool Dataset::readSchemas()
{
    std::map<std::string, std::shared_ptr<const Schema>> read;
    const QuietErrors quiet;
    CPLErrorReset();
    for (const std::string& table : tables_)
        if (auto schema = readSchema(table)) read[table] = std::move(schema);
    // A table read halfway (a lock taken meanwhile) must not replace what was read whole.
    if (CPLGetLastErrorType() >= CE_Failure && !schemas_.empty()) return false;
    schemas_ = std::move(read);
    ++generation_;
    return true;
}

std::shared_ptr<const Schema> Dataset::readSchema(const std::string& table) const
{
    return format_->readFields(path_, gdal_.get(), table);
}

GdalHandle Dataset::reading()
{
    refreshIfChanged();
    if (!gdal_) reopen(updating_, std::chrono::milliseconds(0));
    return gdal_;
}

HResult Dataset::schema(const std::string& table, std::shared_ptr<const Schema>& out)
{
    refreshIfChanged();
    return knownSchema(table, out);
}

HResult Dataset::knownSchema(const std::string& table, std::shared_ptr<const Schema>& out) const
{
    const auto it = schemas_.find(table);
    if (it == schemas_.end()) return runtime::E_FAIL;
    out = it->second;
    return runtime::S_OK;
}

HResult Dataset::beginChange(const std::string& table, std::shared_ptr<const Schema>& current)
{
    if (readOnly_) {
        explain(reason::readOnly(shownPath()));
        return runtime::E_ACCESSDENIED;
    }
    if (refreshIfChanged() && !format_->transactional()) {
        explain(reason::changedByOthers(shownPath()));
        return runtime::E_FAIL;
    }
    return knownSchema(table, current);
}

HResult Dataset::forUpdate(GDALDataset*& dataset)
{
    if (readOnly_) {
        explain(reason::readOnly(shownPath()));
        return runtime::E_ACCESSDENIED;
    }
    if (!gdal_ || !updating_ || stale_) {
        if (runtime::failed(reopen(true, LockWait::remaining()))) {
            if (lockStoodInTheWay(*format_, path_)) {
                explain(reason::locked(shownPath(), lockTimeout()));
                return runtime::E_FAIL;
            }
            const std::string why = CPLGetLastErrorMsg();
            // Only data that can still be read but not written stays
            // read-only; a source that is away (a database restarting) is
            // opened for update again at the next change.
            if (!readableNow()) {
                stale_ = true;
                explain(pg::hidePasswords(reason::failed(shownPath(), "be opened for writing", why), path_));
                return runtime::E_FAIL;
            }
            readOnly_ = true;
            explain(reason::gdalCannotWrite(shownPath(), driver_));
            return runtime::E_ACCESSDENIED;
        }
        // Opening for update may have let GDAL bring the file up to date.
        stamps_ = stampsOf(format_->watchedFiles(path_));
    }
    dataset = gdal_.get();
    return runtime::S_OK;
}

void Dataset::changed(const std::string& table)
{
    // A database whose tables are as they were (values copied) needs no new view.
    if (gdal_ && format_->watchedFiles(path_).empty() && versionNow() == version_) return;
    // GDAL's view is opened anew, so that the table is read as the files
    // hold it now (a driver reports a field as asked until then, and files
    // replaced behind its back it does not see at all); until it can be
    // opened, the next look finds the files changed.
    if (runtime::failed(renewView(LockWait::remaining()))) {
        stale_ = true;
        return;
    }
    stamps_ = stampsOf(format_->watchedFiles(path_));
    version_ = versionNow();
    // A table read halfway would hide the change from the next one (a field
    // added and not seen cannot be removed): the tables are read again first.
    const QuietErrors quiet;
    CPLErrorReset();
    auto schema = readSchema(table);
    if (!schema || CPLGetLastErrorType() >= CE_Failure) {
        unread_ = true;
        return;
    }
    schemas_[table] = std::move(schema);
    ++generation_;
}

} // namespace engine
