#pragma once

#include "qgis/model/Storage.h"

#include <QPointer>

class QgsVectorLayer;
class QgsVectorDataProvider;

namespace qgishost {

// A layer whose data only its QGIS data provider reaches (a memory layer,
// a web service, ...): fields added and deleted through the provider, the
// column copied in batches of features so that memory stays flat.
class ProviderStorage final : public Storage {
public:
    // `whyReadOnly`: why no change may be made through it, if so.
    explicit ProviderStorage(QgsVectorLayer& layer, QString whyReadOnly = {})
        : layer_(&layer), whyReadOnly_(std::move(whyReadOnly))
    {
    }

    HResult fields(std::vector<hostkit::FieldInfo>& out) override;
    HResult addField(const hostkit::FieldInfo& field) override;
    HResult deleteField(const QString& name) override;
    HResult copyColumn(const QString& source, const QString& target) override;
    // What the provider says it can do.
    HResult canMake(Change change, QString& why) const override;
    void refresh() override;

private:
    QgsVectorDataProvider* provider() const;
    // How reasons name the layer.
    std::string quotedLayer() const;

    QPointer<QgsVectorLayer> layer_;
    QString whyReadOnly_;
};

} // namespace qgishost
