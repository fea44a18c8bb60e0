#pragma once

#include "gishost/model/DataSource.h"
#include "gishost/model/FieldInfo.h"
#include "gishost/model/Life.h"
#include "host/ObjectModel.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class OGRLayer;

namespace gishost {

// The table behind a vector layer; it is also its attribute table.
class FeatureClass final : public HostObject<host::IFeatureClass, host::IAttributeTable> {
public:
    FeatureClass(std::shared_ptr<DataSource> source, OGRLayer& layer);

    HResult get_Fields(host::IFieldCollection** fields) noexcept override;
    HResult AddField(host::IFieldDefinition* field) noexcept override;
    HResult DeleteField(host::IFieldDefinition* field) noexcept override;
    HResult Search(runtime::IUnknown* filter, bool recycling, host::IRowCursor** cursor) noexcept override;

    // The fields as they are now: object id, geometries, then attributes.
    HResult fields(std::vector<FieldInfo>& out) const;
    // OGR's index of the attribute field with exactly this name, or -1.
    int attributeIndex(const std::string& name) const;

    // The dataset's layer as it is now (a database is opened afresh after a
    // schema change); null when it is gone.
    OGRLayer* layer() const { return source_->layer(layerName_); }
    const std::string& layerName() const noexcept { return layerName_; }
    DataSource& source() const noexcept { return *source_; }

private:
    HResult addField(const FieldInfo& info);
    HResult deleteField(const std::string& name);
    HResult schemaChangeAllowed(const char* capability) const;
    struct Extras {
        std::map<std::string, std::string> aliases;
        std::map<std::string, std::string> columnTypes;
    };
    HResult readExtras(Extras& extras) const;
    template <class Change>
    HResult changeDatabase(Change change);

    std::shared_ptr<DataSource> source_;
    std::string layerName_;
    std::set<std::string> required_;
};

} // namespace gishost
