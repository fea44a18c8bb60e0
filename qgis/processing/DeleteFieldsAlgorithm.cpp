#include "qgis/processing/DeleteFieldsAlgorithm.h"

#include "dialog/Messages.h"
#include "qgis/processing/LayerFields.h"
#include "qgis/processing/Texts.h"

#include <qgsprocessingfeedback.h>
#include <qgsprocessingparameters.h>

namespace qgishost::processing {

namespace msg = quillet::text;

namespace {

const QString fieldsParameter = QStringLiteral("FIELDS");

QString lines(const QStringList& names) { return names.join(QLatin1Char('\r')); }

} // namespace

QString DeleteFieldsAlgorithm::name() const { return text::deleteId; }
QString DeleteFieldsAlgorithm::displayName() const { return text::deleteName; }
QString DeleteFieldsAlgorithm::shortHelpString() const { return text::deleteHelp; }

void DeleteFieldsAlgorithm::initAlgorithm(const QVariantMap&)
{
    addLayerParameter();
    auto* fields = new QgsProcessingParameterField(fieldsParameter, text::fieldsToDelete, QVariant(), input);
    fields->setAllowMultiple(true);
    addParameter(fields);
    addLayerOutput();
}

QVariantMap DeleteFieldsAlgorithm::processAlgorithm(const QVariantMap& parameters, QgsProcessingContext& context,
                                                    QgsProcessingFeedback* feedback)
{
    QgsVectorLayer& layer = layerOf(parameters, context);
    const QStringList asked = compat::fieldNames(parameterDefinition(fieldsParameter), parameters, context);
    if (asked.isEmpty()) refuse(msg::selectOneField);

    const LayerFields fields(layer, feedback);
    QStringList names;
    for (const QString& name : asked) {
        const auto field = fields.find(name);
        if (!field) refuse(msg::notInLayer(name));
        names << QString::fromStdU16String(field->name);
        if (field->required || !field->editable) refuse(msg::requiredNoDelete(names.last()));
    }

    QStringList deleted;
    QStringList left;
    for (const QString& name : names) {
        if (feedback->isCanceled() || !fields.remove(name))
            left << name;
        else
            deleted << name;
        feedback->setProgress(100.0 * (deleted.size() + left.size()) / names.size());
    }
    if (!left.isEmpty()) refuse(msg::deletedSome(lines(deleted)) + QLatin1Char('\r') + msg::notDeleted(lines(left)));
    feedback->pushInfo(msg::deletedAll);
    return changed(layer);
}

} // namespace qgishost::processing
