#include "gishost/app/AttributeTable.h"

#include "engine/core/OgrStatus.h"
#include "engine/postgres/PostgresSql.h"
#include "hostkit/FieldInfo.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QBrush>
#include <QPalette>

#include <algorithm>
#include <limits>
#include <optional>

namespace gishost {

namespace {

constexpr int blockSize = 64;
constexpr std::size_t blocksKept = 32;
constexpr int fidOfFeature = -2;

QVariant cell(OGRFeature& feature, int field)
{
    if (!feature.IsFieldSetAndNotNull(field)) return {};
    return QString::fromUtf8(feature.GetFieldAsString(field));
}

// The lowest id when the ids run without a gap; none otherwise. Both ends
// come from the id's index.
std::optional<GIntBig> firstOfDenseIds(GDALDataset& dataset, const std::string& table, const std::string& fid,
                                       GIntBig count)
{
    const std::string f = engine::quoteIdentifier(fid);
    const std::string sql = "SELECT MIN(" + f + "), MAX(" + f + ") FROM " + table;
    OGRLayer* result = dataset.ExecuteSQL(sql.c_str(), nullptr, "NATIVE");
    if (!result) return std::nullopt;
    std::optional<GIntBig> first;
    if (OGRFeatureUniquePtr ends{result->GetNextFeature()}; ends && ends->IsFieldSetAndNotNull(0)) {
        const GIntBig low = ends->GetFieldAsInteger64(0);
        if (ends->GetFieldAsInteger64(1) - low + 1 == count) first = low;
    }
    dataset.ReleaseResultSet(result);
    return first;
}

} // namespace

struct AttributeTableModel::Gdal {
    GDALDatasetUniquePtr dataset;
    OGRLayer* layer = nullptr;
    std::string fidColumn; // empty: the layer has none of its own
    // GDAL's generic SetNextByIndex reads every feature before the one
    // asked for; SQLite finds a row by its id on the id's own index. A
    // database's rows come in their key's order, so that rows another
    // session (or a rename) rewrote keep their place.
    bool bySql = false;
    std::string table; // as the SQL names it
    // Ids without gaps (the usual case): row r has id firstId + r. Else a
    // row's id is found by counting ids up to it, which takes longer.
    std::optional<GIntBig> firstId;
};

AttributeTableModel::AttributeTableModel(QObject* parent) : QAbstractTableModel(parent) {}

AttributeTableModel::~AttributeTableModel() = default;

void AttributeTableModel::open(const std::string& path, std::string layer)
{
    beginResetModel();
    forget();
    layerName_ = std::move(layer);

    engine::QuietErrors quiet;
    auto gdal = std::make_unique<Gdal>();
    gdal->dataset.reset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    gdal->layer = gdal->dataset ? gdal->dataset->GetLayerByName(layerName_.c_str()) : nullptr;
    if (!gdal->layer) {
        problem_ = QStringLiteral("%1: the layer %2 cannot be read.").arg(QString::fromStdString(path),
                                                                          QString::fromStdString(layerName_));
        endResetModel();
        return;
    }
    OGRLayer& l = *gdal->layer;
    gdal->fidColumn = l.GetFIDColumn();
    columns_ << (gdal->fidColumn.empty() ? QString::fromStdU16String(hostkit::defaultObjectIdName)
                                         : QString::fromStdString(gdal->fidColumn));
    const OGRFeatureDefn& definition = *l.GetLayerDefn();
    for (int i = 0; i < definition.GetFieldCount(); ++i)
        columns_ << QString::fromUtf8(definition.GetFieldDefn(i)->GetNameRef());
    // This handle only reads, so leaving the geometry out is safe and quick.
    const char* ignored[] = {"OGR_GEOMETRY", "OGR_STYLE", nullptr};
    l.SetIgnoredFields(ignored);
    const std::string driver = gdal->dataset->GetDriver() ? gdal->dataset->GetDriver()->GetDescription() : "";
    const auto pgTable = driver == "PostgreSQL" ? engine::pg::tableOf(*gdal->dataset, layerName_) : std::nullopt;
    gdal->table = pgTable ? engine::pg::quotedName(*pgTable) : engine::quoteIdentifier(layerName_);
    gdal->bySql = !gdal->fidColumn.empty() && (driver == "GPKG" || driver == "SQLite" || pgTable);
    const GIntBig count = l.GetFeatureCount(TRUE);
    rows_ = static_cast<int>(std::clamp<GIntBig>(count, 0, std::numeric_limits<int>::max()));
    if (gdal->bySql) gdal->firstId = firstOfDenseIds(*gdal->dataset, gdal->table, gdal->fidColumn, count);
    gdal_ = std::move(gdal);
    endResetModel();
}

void AttributeTableModel::close()
{
    beginResetModel();
    forget();
    endResetModel();
}

void AttributeTableModel::forget()
{
    layerName_.clear();
    gdal_.reset();
    cache_.clear();
    columns_.clear();
    rows_ = 0;
    rowsRead_ = 0;
    problem_.clear();
}

int AttributeTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int AttributeTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant AttributeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section < columns_.size() ? columns_[section] : QVariant();
}

QVariant AttributeTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ForegroundRole)) return {};
    const Block& block = blockOf(index.row());
    const auto& row = block.rows[static_cast<std::size_t>(index.row() - block.first)];
    const auto column = static_cast<std::size_t>(index.column());
    if (column >= row.size()) return {};
    // A null shows as "NULL", greyed, as QGIS shows it.
    const bool null = !row[column].isValid();
    if (role == Qt::ForegroundRole)
        return null ? QBrush(QPalette().color(QPalette::Disabled, QPalette::Text)) : QVariant();
    return null ? QStringLiteral("NULL") : row[column];
}

const AttributeTableModel::Block& AttributeTableModel::blockOf(int row) const
{
    const int first = row - row % blockSize;
    const auto hit = std::find_if(cache_.begin(), cache_.end(), [&](const Block& b) { return b.first == first; });
    if (hit != cache_.end()) return *hit;
    if (cache_.size() >= blocksKept) cache_.pop_back();
    Block block;
    block.first = first;
    readBlock(block);
    cache_.push_front(std::move(block));
    return cache_.front();
}

void AttributeTableModel::readBlock(Block& block) const
{
    const int count = std::min(blockSize, rows_ - block.first);
    if (gdal_) {
        engine::QuietErrors quiet;
        gdal_->bySql ? readBySql(block) : readByIndex(block);
    }
    rowsRead_ += static_cast<std::int64_t>(block.rows.size());
    // Rows gone since the count was taken show empty.
    block.rows.resize(static_cast<std::size_t>(std::max(count, 0)));
}

// The block read from its first row's id on in one statement, released at
// once so that no read lock stays on the file.
void AttributeTableModel::readBySql(Block& block) const
{
    const std::string& table = gdal_->table;
    const std::string fid = engine::quoteIdentifier(gdal_->fidColumn);
    std::string columns = fid;
    for (int i = 1; i < columns_.size(); ++i) columns += ", " + engine::quoteIdentifier(columns_[i].toStdString());
    const std::string from = gdal_->firstId ? std::to_string(*gdal_->firstId + block.first)
                                            : "(SELECT " + fid + " FROM " + table + " ORDER BY " + fid +
                                                  " LIMIT 1 OFFSET " + std::to_string(block.first) + ")";
    const std::string sql = "SELECT " + columns + " FROM " + table + " WHERE " + fid + " >= " + from + " ORDER BY " +
                            fid + " LIMIT " + std::to_string(blockSize);
    OGRLayer* result = gdal_->dataset->ExecuteSQL(sql.c_str(), nullptr, "NATIVE");
    if (!result) return;
    const OGRFeatureDefn& definition = *result->GetLayerDefn();
    std::vector<int> fields;
    for (const QString& name : columns_) fields.push_back(definition.GetFieldIndex(name.toUtf8().constData()));
    // GDAL may take the object id for the result's own and leave it out of the fields.
    if (fields[0] < 0) fields[0] = fidOfFeature;
    for (auto& feature : *result) {
        std::vector<QVariant> row;
        for (const int field : fields) row.push_back(field == fidOfFeature ? feature->GetFID() : cell(*feature, field));
        block.rows.push_back(std::move(row));
    }
    gdal_->dataset->ReleaseResultSet(result);
}

void AttributeTableModel::readByIndex(Block& block) const
{
    OGRLayer& layer = *gdal_->layer;
    if (layer.SetNextByIndex(block.first) != OGRERR_NONE) return;
    const int fieldCount = static_cast<int>(columns_.size()) - 1;
    for (int i = 0; i < blockSize; ++i) {
        OGRFeatureUniquePtr feature(layer.GetNextFeature());
        if (!feature) break;
        std::vector<QVariant> row{feature->GetFID()};
        for (int f = 0; f < fieldCount; ++f) row.push_back(cell(*feature, f));
        block.rows.push_back(std::move(row));
    }
    layer.ResetReading();
}

} // namespace gishost
