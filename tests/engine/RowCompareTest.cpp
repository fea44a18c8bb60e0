// The read-back of a change through an untrusted writer: the table before
// and after, compared row by row in the fields that had to stay.

#include "engine/filegdb/RowCompare.h"

#include <gtest/gtest.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <functional>
#include <memory>

namespace {

using Layer = std::unique_ptr<GDALDataset, void (*)(GDALDataset*)>;

// Three points with a name and a count; `edit` changes the table (fields in
// `order`) before its rows are written.
Layer table(const std::vector<const char*>& order, const std::function<void(int, OGRFeature&)>& edit = {},
            int rows = 3)
{
    GDALAllRegister();
    GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("Memory");
    Layer data(memory->Create("", 0, 0, 0, GDT_Unknown, nullptr), [](GDALDataset* d) { GDALClose(d); });
    OGRLayer* layer = data->CreateLayer("t", nullptr, wkbPoint, nullptr);
    for (const char* name : order) {
        OGRFieldDefn field(name, std::string(name) == "count" ? OFTInteger : OFTString);
        EXPECT_EQ(layer->CreateField(&field), OGRERR_NONE);
    }
    for (int row = 0; row < rows; ++row) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetFID(row + 1);
        feature.SetField("name", ("row " + std::to_string(row)).c_str());
        feature.SetField("count", row * 10);
        OGRPoint point(row, row);
        feature.SetGeometry(&point);
        if (edit) edit(row, feature);
        EXPECT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    return data;
}

TEST(RowCompare, FindsTheFirstRowThatChangedInTheFieldsThatHadToStay)
{
    struct Case {
        const char* what;
        std::vector<const char*> order;
        std::function<void(int, OGRFeature&)> edit;
        int rows;
        bool same;
        long long row;
    };
    const std::vector<std::string> kept{"name", "count"};
    const Case cases[] = {
        {"the same rows", {"name", "count"}, {}, 3, true, -1},
        {"fields in another order, a field added", {"count", "extra", "name"}, {}, 3, true, -1},
        {"a value changed", {"name", "count"},
         [](int row, OGRFeature& f) { if (row == 1) f.SetField("count", 99); }, 3, false, 2},
        {"a value nulled", {"name", "count"},
         [](int row, OGRFeature& f) { if (row == 2) f.SetFieldNull(f.GetFieldIndex("name")); }, 3, false, 3},
        {"a geometry moved", {"name", "count"},
         [](int row, OGRFeature& f) {
             OGRPoint moved(row + 0.5, row);
             if (row == 0) f.SetGeometry(&moved);
         },
         3, false, 1},
        {"a row lost", {"name", "count"}, {}, 2, false, -1},
        {"a kept field gone", {"name"}, {}, 3, false, -1},
    };
    const Layer before = table({"name", "count"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Layer after = table(c.order, c.edit, c.rows);
        long long row = 0;
        EXPECT_EQ(engine::sameRows(*before->GetLayer(0), *after->GetLayer(0), kept, row), c.same);
        EXPECT_EQ(row, c.row);
    }
}

} // namespace
