#include "qgis/processing/RenameFieldAlgorithm.h"

#include "dialog/Messages.h"
#include "qgis/processing/LayerFields.h"
#include "qgis/processing/Texts.h"

#include <qgsprocessingfeedback.h>
#include <qgsprocessingparameters.h>

namespace qgishost::processing {

namespace msg = quillet::text;

namespace {

const QString field = QStringLiteral("FIELD");
const QString newName = QStringLiteral("NEW_NAME");

// Takes the added field away again after a later step failed or was
// canceled; the layer then is as it was.
void removeAdded(const LayerFields& layer, const QString& added)
{
    if (!layer.remove(added)) refuse(msg::addedFieldLeft(added));
}

} // namespace

QString RenameFieldAlgorithm::name() const { return text::renameId; }
QString RenameFieldAlgorithm::displayName() const { return text::renameName; }
QString RenameFieldAlgorithm::shortHelpString() const { return text::renameHelp; }

void RenameFieldAlgorithm::initAlgorithm(const QVariantMap&)
{
    addLayerParameter();
    addParameter(new QgsProcessingParameterField(field, text::fieldToRename, QVariant(), input));
    addParameter(new QgsProcessingParameterString(newName, text::newFieldName));
    addLayerOutput();
}

QVariantMap RenameFieldAlgorithm::processAlgorithm(const QVariantMap& parameters, QgsProcessingContext& context,
                                                   QgsProcessingFeedback* feedback)
{
    QgsVectorLayer& layer = layerOf(parameters, context);
    const QString oldName = parameterAsString(parameters, field, context).trimmed();
    const QString wanted = parameterAsString(parameters, newName, context).trimmed();
    if (wanted.isEmpty()) refuse(msg::enterNewName);

    const LayerFields fields(layer, feedback);
    const auto old = fields.find(oldName);
    if (!old) refuse(msg::currentFieldNotFound);
    if (fields.find(wanted)) refuse(msg::nameExists);
    if (!fieldrules::isValidFieldName(msg::utf8(wanted))) refuse(msg::badName);
    const QString oldField = QString::fromStdU16String(old->name);
    if (old->required || !old->editable) refuse(msg::requiredNoRename(oldField));

    hostkit::FieldInfo added = *old;
    added.name = wanted.toStdU16String();
    if (!fields.add(added)) refuse(msg::addFieldFailed(oldField));
    feedback->setProgress(100.0 / 3);
    if (feedback->isCanceled()) {
        removeAdded(fields, wanted);
        refuse(text::canceled);
    }
    if (!fields.copy(oldField, wanted)) {
        removeAdded(fields, wanted);
        refuse(msg::copyFailed(oldField));
    }
    feedback->setProgress(200.0 / 3);
    if (feedback->isCanceled()) {
        removeAdded(fields, wanted);
        refuse(text::canceled);
    }
    if (!fields.remove(oldField)) refuse(msg::duplicatedNotDeleted);
    feedback->setProgress(100);
    feedback->pushInfo(msg::renamed);
    return changed(layer);
}

} // namespace qgishost::processing
