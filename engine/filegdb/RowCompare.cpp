#include "engine/filegdb/RowCompare.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <cstdint>
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

// The row's values of the fields at `indexes` and its geometries.
std::uint64_t digest(const OGRFeature& feature, const std::vector<int>& indexes, std::vector<unsigned char>& wkb)
{
    Hash hash;
    for (int i : indexes) addField(hash, feature, i);
    for (int g = 0; g < feature.GetGeomFieldCount(); ++g) {
        const OGRGeometry* geometry = feature.GetGeomFieldRef(g);
        if (!geometry) {
            hash.add('-');
            continue;
        }
        wkb.resize(geometry->WkbSize());
        geometry->exportToWkb(wkbNDR, wkb.data(), wkbVariantIso);
        hash.add(wkb.data(), wkb.size());
    }
    return hash.value();
}

} // namespace

bool sameRows(OGRLayer& before, OGRLayer& after, const std::vector<std::string>& fields, long long& row,
              const std::function<bool(const OGRFeature& row)>& alsoHolds)
{
    row = -1;
    const auto indexes = [&](OGRLayer& layer) {
        std::vector<int> found;
        for (const std::string& name : fields) found.push_back(layer.GetLayerDefn()->GetFieldIndex(name.c_str()));
        return found;
    };
    const std::vector<int> oldIndexes = indexes(before), newIndexes = indexes(after);
    if (std::find(oldIndexes.begin(), oldIndexes.end(), -1) != oldIndexes.end() ||
        std::find(newIndexes.begin(), newIndexes.end(), -1) != newIndexes.end())
        return false;
    std::vector<unsigned char> wkb;
    CPLErrorReset();
    before.ResetReading();
    after.ResetReading();
    for (;;) {
        const OGRFeatureUniquePtr old(before.GetNextFeature());
        const OGRFeatureUniquePtr now(after.GetNextFeature());
        // Either loop also ends where a row cannot be read.
        if (CPLGetLastErrorType() >= CE_Failure) return false;
        if (!old || !now) return !old && !now;
        if (old->GetFID() != now->GetFID() || digest(*old, oldIndexes, wkb) != digest(*now, newIndexes, wkb) ||
            (alsoHolds && !alsoHolds(*now))) {
            row = old->GetFID();
            return false;
        }
    }
}

} // namespace engine
