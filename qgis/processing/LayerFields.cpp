#include "qgis/processing/LayerFields.h"

#include "engine/core/Log.h"
#include "dialog/Messages.h"

#include <qgsprocessingfeedback.h>

namespace qgishost::processing {

using hostkit::FieldInfo;

namespace {

QString trimmedLower(const QString& name) { return name.trimmed().toLower(); }

} // namespace

void refuse(const QString& why) { throw QgsProcessingException(why); }

LayerFields::LayerFields(QgsVectorLayer& layer, QgsProcessingFeedback* feedback)
    : feedback_(feedback), table_(runtime::make<FeatureClass>(layer, datasets_))
{
}

std::vector<FieldInfo> LayerFields::fields() const
{
    std::vector<FieldInfo> out;
    if (!run([&] { return table_->fields(out); })) refuse(quillet::text::noFeatureClass);
    return out;
}

std::optional<FieldInfo> LayerFields::find(const QString& name) const
{
    for (const FieldInfo& field : fields())
        if (field.type != host::fieldTypeOID && field.type != host::fieldTypeGeometry &&
            trimmedLower(QString::fromStdU16String(field.name)) == trimmedLower(name))
            return field;
    return std::nullopt;
}

bool LayerFields::add(const FieldInfo& field) const { return run([&] { return table_->addField(field); }); }

bool LayerFields::copy(const QString& from, const QString& to) const
{
    return run([&] { return table_->copyColumn(from, to); });
}

bool LayerFields::remove(const QString& name) const { return run([&] { return table_->deleteField(name); }); }

bool LayerFields::run(const std::function<HResult()>& change) const
{
    const engine::ReasonListener reasons([this](const std::string& why) {
        if (feedback_) feedback_->reportError(QString::fromStdString(why));
    });
    return runtime::succeeded(change());
}

} // namespace qgishost::processing
