#include "engine/filegdb/RowDigests.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

class Hash {
public:
    void add(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) value_ = (value_ ^ bytes[i]) * 0x100000001B3ull;
    }
    template <class T>
    void add(const T& value)
    {
        add(&value, sizeof value);
    }
    std::uint64_t value() const noexcept { return value_; }

private:
    std::uint64_t value_ = 0xCBF29CE484222325ull;
};

void addField(Hash& hash, const OGRFeature& feature, int i)
{
    const char state = !feature.IsFieldSet(i) ? 'u' : feature.IsFieldNull(i) ? 'n' : 'v';
    hash.add(state);
    if (state != 'v') return;
    const OGRField& f = *feature.GetRawFieldRef(i);
    switch (feature.GetFieldDefnRef(i)->GetType()) {
    case OFTInteger:
        hash.add(f.Integer);
        break;
    case OFTInteger64:
        hash.add(f.Integer64);
        break;
    case OFTReal:
        hash.add(f.Real);
        break;
    case OFTBinary:
        hash.add(f.Binary.paData, static_cast<std::size_t>(f.Binary.nCount));
        break;
    case OFTDate:
    case OFTTime:
    case OFTDateTime:
        hash.add(f.Date.Year);
        hash.add(f.Date.Month);
        hash.add(f.Date.Day);
        hash.add(f.Date.Hour);
        hash.add(f.Date.Minute);
        hash.add(f.Date.Second);
        hash.add(f.Date.TZFlag);
        break;
    default: {
        const char* text = feature.GetFieldAsString(i);
        hash.add(text, std::strlen(text) + 1);
    }
    }
}

} // namespace

bool digestRows(OGRLayer& layer, const std::vector<std::string>& fields, RowDigests& digests)
{
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    std::vector<int> indexes;
    for (const std::string& name : fields) indexes.push_back(definition.GetFieldIndex(name.c_str()));
    if (std::find(indexes.begin(), indexes.end(), -1) != indexes.end()) return false;
    digests.clear();
    std::vector<unsigned char> wkb;
    CPLErrorReset();
    layer.ResetReading();
    for (auto& feature : layer) {
        Hash hash;
        for (int i : indexes) addField(hash, *feature, i);
        for (int g = 0; g < feature->GetGeomFieldCount(); ++g) {
            const OGRGeometry* geometry = feature->GetGeomFieldRef(g);
            if (!geometry) {
                hash.add('-');
                continue;
            }
            wkb.resize(geometry->WkbSize());
            geometry->exportToWkb(wkbNDR, wkb.data(), wkbVariantIso);
            hash.add(wkb.data(), wkb.size());
        }
        digests.emplace_back(feature->GetFID(), hash.value());
    }
    // The loop also ends where a row cannot be read.
    return CPLGetLastErrorType() < CE_Failure;
}

bool firstDifference(const RowDigests& before, const RowDigests& after, long long& row)
{
    if (before.size() != after.size()) {
        row = -1;
        return true;
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            row = before[i].first;
            return true;
        }
    }
    return false;
}

} // namespace engine
