#include "engine/ogr/OgrFormat.h"

#include "engine/core/Format.h"
#include "engine/core/OgrEdits.h"

namespace engine {

using runtime::HResult;

namespace {

class OgrFormat final : public Format {
public:
    HResult addField(const Table& table, const OGRFieldDefn& field, const std::string&) const override
    {
        return addFieldByOgr(table, field, false);
    }
    HResult deleteField(const Table& table, const std::string& name) const override
    {
        return deleteFieldByOgr(table, name, false);
    }
    HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const override
    {
        return copyColumnByFeature(table, from, to);
    }
};

} // namespace

const Format& ogrFormat()
{
    static const OgrFormat format;
    return format;
}

} // namespace engine
