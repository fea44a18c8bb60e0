#include "qgis/sample/SampleProject.h"

#include "gishost/sample/SampleData.h"

#include <qgslayertree.h>
#include <qgsproject.h>
#include <qgsprojectviewsettings.h>
#include <qgsrasterlayer.h>
#include <qgsreferencedgeometry.h>
#include <qgsvectorlayer.h>

#include <stdexcept>

namespace qgishost::sample {

namespace {

QgsMapLayer* checked(QgsMapLayer* layer)
{
    if (!layer->isValid()) throw std::runtime_error("QGIS cannot read " + layer->source().toStdString());
    return layer;
}

void addVector(QgsProject& project, QgsLayerTreeGroup& group, const std::string& path, const QString& layer)
{
    const QString source = QString::fromStdString(path) + (layer.isEmpty() ? QString() : "|layername=" + layer);
    QgsMapLayer* added = checked(new QgsVectorLayer(source, layer.isEmpty() ? QStringLiteral("rivers") : layer,
                                                    QStringLiteral("ogr")));
    project.addMapLayer(added, false);
    group.addLayer(added);
}

} // namespace

void fillProject(QgsProject& project, const std::vector<std::string>& paths)
{
    project.setTitle(QStringLiteral("Quillet sample"));
    QgsLayerTree& root = *project.layerTreeRoot();
    QgsLayerTreeGroup& survey = *root.addGroup(QStringLiteral("Survey"));
    for (const char* layer : {"cities", "roads", "parcels"}) addVector(project, survey, paths[0], layer);
    addVector(project, root, paths[1], QString());
    QgsLayerTreeGroup& water = *root.addGroup(QStringLiteral("Water"));
    for (const char* layer : {"lakes", "wells"}) addVector(project, water, paths[2], layer);
    QgsMapLayer* elevation =
        checked(new QgsRasterLayer(QString::fromStdString(paths[3]), QStringLiteral("elevation"), QStringLiteral("gdal")));
    project.addMapLayer(elevation, false);
    root.addLayer(elevation);
    // Opened, the project shows all of its data.
    project.setCrs(elevation->crs());
    QgsRectangle extent = elevation->extent();
    for (QgsMapLayer* layer : project.mapLayers()) extent.combineExtentWith(layer->extent());
    extent.scale(1.1);
    project.viewSettings()->setDefaultViewExtent(QgsReferencedRectangle(extent, project.crs()));
}

} // namespace qgishost::sample
