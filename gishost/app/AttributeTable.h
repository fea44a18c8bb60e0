#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class GDALDataset;
class OGRLayer;

namespace gishost {

// The rows of one layer, read-only, for a table view. It reads through a
// GDAL handle of its own, opened afresh each time a layer is shown, and
// only the blocks of rows the view asks for, keeping a few: a layer of any
// size scrolls at the same pace and memory stays flat. A dataset another
// program changes meanwhile shows what could be read.
class AttributeTableModel final : public QAbstractTableModel {
public:
    explicit AttributeTableModel(QObject* parent = nullptr);
    ~AttributeTableModel() override;

    // Shows the layer `layer` of the dataset at `path`; nothing when either
    // cannot be opened (then `problem()` says why).
    void open(const std::string& path, std::string layer);
    void close();
    const QString& problem() const noexcept { return problem_; }
    // Rows read from the data since the layer was opened.
    std::int64_t rowsRead() const noexcept { return rowsRead_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Block {
        int first = 0;
        // Each row's cells; a null value is an invalid variant, and a row that
        // could not be read has none.
        std::vector<std::vector<QVariant>> rows;
    };
    struct Gdal;

    void forget();
    const Block& blockOf(int row) const;
    void readBlock(Block& block) const;
    void readBySql(Block& block) const;
    void readByIndex(Block& block) const;

    std::string layerName_;
    std::unique_ptr<Gdal> gdal_;
    QStringList columns_; // the object id, then the attribute fields
    int rows_ = 0;
    QString problem_;
    mutable std::deque<Block> cache_; // the most recently read first
    mutable std::int64_t rowsRead_ = 0;
};

} // namespace gishost
