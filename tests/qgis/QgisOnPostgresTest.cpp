// The real module in QGIS deletes and renames fields of a PostGIS layer of
// the project in the database's own SQL, as gishost does, within the same
// lock bound; what the database then holds is read with the tests' own
// libpq queries, and the layer through QGIS without reloading anything.

#include "EngineWatch.h"
#include "PgServer.h"
#include "QgisTestSupport.h"

#include "dialog/Messages.h"
#include "qgis/model/Reasons.h"

#include <gtest/gtest.h>

#include <qgsapplication.h>
#include <qgsauthconfig.h>
#include <qgsauthmanager.h>
#include <qgsdatasourceuri.h>
#include <qgsproject.h>

#include <chrono>

namespace {

using pgtest::Snapshot;
using qgistest::QgisContent;
using qgistest::QgisHost;
using qgistest::Rename;
namespace text = quillet::text;

// A table of varied types, defaults, not-null columns and aliases (as
// comments), polygons with holes and values with nulls, in a schema whose
// name needs quoting; and a copy of it in public that nothing may touch.
const char* const parcelsTables = R"(
CREATE SCHEMA "Field Survey";
CREATE TABLE "Field Survey".parcels (
  id serial PRIMARY KEY,
  geom geometry(MultiPolygon, 4326),
  f_short smallint DEFAULT 3,
  f_long integer NOT NULL DEFAULT 0,
  f_double double precision,
  f_area numeric(12,3),
  f_name character varying(40) NOT NULL DEFAULT 'none',
  f_memo text,
  f_stamp timestamp with time zone,
  f_flag boolean DEFAULT false,
  f_day date,
  f_big bigint);
COMMENT ON COLUMN "Field Survey".parcels.f_name IS 'Parcel''s name';
COMMENT ON COLUMN "Field Survey".parcels.f_area IS 'Area (ha)';
INSERT INTO "Field Survey".parcels (geom, f_short, f_long, f_double, f_area, f_name, f_memo, f_stamp, f_flag, f_day,
  f_big)
SELECT CASE WHEN i % 17 = 0 THEN NULL ELSE ST_Multi(ST_Difference(
         ST_Buffer(ST_SetSRID(ST_MakePoint(i % 90, i % 45), 4326), 0.4, 2 + i % 5),
         ST_Buffer(ST_SetSRID(ST_MakePoint(i % 90, i % 45), 4326), 0.1))) END,
  NULLIF(i % 7, 3), i * 13, CASE WHEN i % 5 = 0 THEN NULL ELSE i / 3.0 END,
  CASE WHEN i % 6 = 0 THEN NULL ELSE i * 12.345 END, 'Parcel ' || i || ' ''q'' ñ',
  CASE WHEN i % 4 = 0 THEN NULL ELSE repeat('memo ', i % 3) END,
  CASE WHEN i % 4 = 1 THEN NULL ELSE '2001-02-03 04:05:06+02'::timestamptz + i * interval '1 hour 7 seconds' END,
  CASE WHEN i % 7 = 0 THEN NULL ELSE i % 2 = 0 END, CASE WHEN i % 8 = 0 THEN NULL ELSE date '2000-01-01' + i END,
  i * 4000000000
FROM generate_series(1, 120) i;
CREATE TABLE public.parcels AS SELECT * FROM "Field Survey".parcels;
)";

const char* const surveyTable = R"("Field Survey".parcels)";
const QString layerName = QStringLiteral("survey parcels");

class QgisOnPostgres : public pgtest::TablesTest {
protected:
    QgisOnPostgres() : TablesTest(parcelsTables) {}

    // A layer of the open project over a table (or a query) of the test's
    // database; the password is where libpq finds it, not in the source.
    QgsVectorLayer& addLayer(const QString& name, const QString& schema, const QString& table)
    {
        auto* layer = qgistest::postgresLayer(QgsDataSourceUri(QString::fromStdString(conninfo())), schema, table, name);
        EXPECT_TRUE(layer->isValid()) << layer->source().toStdString();
        QgsProject::instance()->addMapLayer(layer);
        return *layer;
    }
    QgsVectorLayer& addSurveyLayer() { return addLayer(layerName, QStringLiteral("Field Survey"), QStringLiteral("parcels")); }

};

TEST_F(QgisOnPostgres, DeletesAndRenamesInTheDatabaseKeepingValuesGeometriesAndDefinitions)
{
    QgisHost host;
    QgsVectorLayer& layer = addSurveyLayer();
    const Snapshot before = pgtest::snapshot(*db, surveyTable);
    const Snapshot untouched = pgtest::snapshot(*db, "public.parcels");
    const QgisContent qgisBefore = qgistest::readLayer(layer);
    const QStringList deleted{"f_memo", "f_big"};
    const std::vector<Rename> renames{{"f_short", "r_short"}, {"f_long", "r_long"},   {"f_double", "r_double"},
                                      {"f_area", "Area_ha"},  {"f_name", "Name"},     {"f_stamp", "r_stamp"},
                                      {"f_flag", "r_flag"},   {"f_day", "r_day"}};

    host.useDialog([&](qgistest::Dialog& dialog) {
        dialog.deleteFields(layerName, deleted);
        for (const Rename& r : renames) dialog.rename(layerName, r.from, r.to);
        const QStringList listed = dialog.availableFields();
        for (const char* hidden : {"id", "geom"}) EXPECT_FALSE(listed.contains(QLatin1String(hidden))) << hidden;
        EXPECT_TRUE(listed.contains(QStringLiteral("Area_ha"))) << listed.join('|').toStdString();
    });
    QStringList expectedMessages{text::confirmDelete, text::deletedAll};
    for (std::size_t i = 0; i < renames.size(); ++i) expectedMessages << text::renamed;
    EXPECT_EQ(host.messages(), expectedMessages);
    EXPECT_TRUE(host.iface.messages().isEmpty()) << host.iface.messages().join('\n').toStdString();

    std::vector<std::pair<std::string, std::string>> renamed;
    for (const Rename& r : renames) renamed.emplace_back(r.from.toStdString(), r.to.toStdString());
    std::vector<std::string> dropped;
    for (const QString& d : deleted) dropped.push_back(d.toStdString());
    const Snapshot expected = pgtest::changed(before, dropped, renamed);
    const Snapshot after = pgtest::snapshot(*db, surveyTable);
    EXPECT_EQ(after.columns, expected.columns);
    EXPECT_EQ(after.rows, expected.rows);
    const Snapshot other = pgtest::snapshot(*db, "public.parcels");
    EXPECT_EQ(other.columns, untouched.columns);
    EXPECT_EQ(other.rows, untouched.rows);

    // The same layer object shows the new fields, every value and geometry.
    const QgisContent qgisAfter = qgistest::readLayer(layer);
    // A new field carries the alias (the comment) the database had for the old one.
    std::map<QString, QString> aliases;
    for (const Rename& r : renames)
        aliases[r.from] = QString::fromStdString(before.columns.at(r.from.toStdString())[3].value_or(""));
    const QgisContent qgisExpected = qgistest::changed(qgisBefore, deleted, renames, aliases);
    EXPECT_EQ(qgisAfter.fields, qgisExpected.fields);
    EXPECT_EQ(qgisAfter.rows, qgisExpected.rows);
    EXPECT_EQ(qgisAfter.geometries, qgisBefore.geometries);
}

// Editing switched on but nothing edited: the rename is made, the layer
// gets its new provider and stays in editing, and an edit of the new field
// made afterwards is saved to the database.
TEST_F(QgisOnPostgres, ALayerInEditingWithoutEditsChangesAndKeepsEditing)
{
    QgisHost host;
    QgsVectorLayer& layer = addSurveyLayer();
    ASSERT_TRUE(layer.startEditing());
    host.useDialog([&](qgistest::Dialog& dialog) {
        dialog.rename(layerName, QStringLiteral("f_name"), QStringLiteral("Name"));
    });
    EXPECT_EQ(host.messages(), QStringList{text::renamed});
    ASSERT_TRUE(layer.isEditable());
    ASSERT_TRUE(layer.changeAttributeValue(7, layer.fields().indexFromName(QStringLiteral("Name")), QStringLiteral("x")));
    EXPECT_TRUE(layer.commitChanges()) << layer.commitErrors().join('\n').toStdString();
    EXPECT_EQ(db->value(std::string("SELECT \"Name\" FROM ") + surveyTable + " WHERE id = 7"), "x");
    EXPECT_EQ(db->value(std::string("SELECT \"Name\" FROM ") + surveyTable + " WHERE id = 8"), "Parcel 8 'q' ñ");
}

// Another connection's open transaction on the table: the rename and the
// deletion wait no longer than the lock bound, fail, change nothing, and
// QGIS's message bar gives the database's reason.
TEST_F(QgisOnPostgres, ALockHeldByAnotherConnectionRefusesWithinTheBoundAndChangesNothing)
{
    QgisHost host;
    QgsVectorLayer& layer = addSurveyLayer();
    const Snapshot before = pgtest::snapshot(*db, surveyTable);
    const QgisContent qgisBefore = qgistest::readLayer(layer);
    pgtest::Session other = session();
    other.exec(std::string("BEGIN; SELECT count(*) FROM ") + surveyTable);
    const gistest::LockTimeout shortWait(std::chrono::milliseconds(300));

    const auto start = std::chrono::steady_clock::now();
    host.useDialog([&](qgistest::Dialog& dialog) {
        dialog.rename(layerName, QStringLiteral("f_name"), QStringLiteral("Name"));
        dialog.deleteFields(layerName, {QStringLiteral("f_memo")});
    });
    // Two statements waited; a hang would take the test's whole time.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(host.messages(),
              QStringList({text::addFieldFailed(QStringLiteral("f_name")), text::confirmDelete,
                           text::notDeleted(QStringLiteral("f_memo"))}));
    const QString bar = host.iface.messages().join('\n');
    EXPECT_TRUE(bar.contains(QStringLiteral("is locked by another session"))) << bar.toStdString();

    other.exec("ROLLBACK");
    const Snapshot after = pgtest::snapshot(*db, surveyTable);
    EXPECT_EQ(after.columns, before.columns);
    EXPECT_EQ(after.rows, before.rows);
    const QgisContent qgisAfter = qgistest::readLayer(layer);
    EXPECT_EQ(qgisAfter.fields, qgisBefore.fields);
    EXPECT_EQ(qgisAfter.rows, qgisBefore.rows);
}

// A layer whose role comes from a QGIS authentication configuration: the
// engine connects as that role, which may read the table but not alter
// it, so every change is refused before anything is tried.
TEST_F(QgisOnPostgres, ARoleFromAnAuthenticationConfigurationWithoutTheRightIsRefused)
{
    QgisHost host;
    const std::string clerk = addRole("clerk", "clerk's pw");
    db->exec("GRANT USAGE ON SCHEMA \"Field Survey\" TO " + clerk + "; GRANT SELECT ON " + surveyTable + " TO " + clerk);
    QgsAuthManager& auth = *QgsApplication::authManager();
    ASSERT_TRUE(auth.setMasterPassword(QStringLiteral("master"), true));
    QgsAuthMethodConfig config(QStringLiteral("Basic"));
    config.setName(QStringLiteral("clerk"));
    config.setConfig(QStringLiteral("username"), QString::fromStdString(clerk));
    config.setConfig(QStringLiteral("password"), QStringLiteral("clerk's pw"));
    ASSERT_TRUE(auth.storeAuthenticationConfig(config));

    QgsDataSourceUri uri(QString::fromStdString(conninfo()));
    uri.setUsername(QString());
    uri.setAuthConfigId(config.id());
    auto* layer = qgistest::postgresLayer(uri, QStringLiteral("Field Survey"), QStringLiteral("parcels"), layerName);
    ASSERT_TRUE(layer->isValid());
    QgsProject::instance()->addMapLayer(layer);
    const Snapshot before = pgtest::snapshot(*db, surveyTable);

    host.useDialog([&](qgistest::Dialog& dialog) {
        dialog.rename(layerName, QStringLiteral("f_name"), QStringLiteral("Name"));
        dialog.deleteFields(layerName, {QStringLiteral("f_memo")});
    });
    EXPECT_EQ(host.messages(),
              QStringList({text::addFieldFailed(QStringLiteral("f_name")), text::confirmDelete,
                           text::notDeleted(QStringLiteral("f_memo"))}));
    const QString bar = host.iface.messages().join('\n');
    EXPECT_TRUE(bar.contains(QString::fromStdString("the role " + clerk + " may not alter the table"))) << bar.toStdString();
    EXPECT_FALSE(bar.contains(QStringLiteral("clerk's pw")));
    const Snapshot after = pgtest::snapshot(*db, surveyTable);
    EXPECT_EQ(after.columns, before.columns);
    EXPECT_EQ(after.rows, before.rows);
}

// A layer over a query is no table the database's SQL could change: it is
// refused, and QGIS says why.
TEST_F(QgisOnPostgres, AQueryLayerIsRefused)
{
    QgisHost host;
    QgsVectorLayer& layer =
        addLayer(QStringLiteral("query"), QString(), QStringLiteral("(SELECT id, geom, f_name, f_memo FROM public.parcels)"));
    const Snapshot before = pgtest::snapshot(*db, "public.parcels");
    host.useDialog([&](qgistest::Dialog& dialog) { dialog.deleteFields(QStringLiteral("query"), {"f_memo"}); });
    EXPECT_EQ(host.messages(), QStringList({text::confirmDelete, text::notDeleted(QStringLiteral("f_memo"))}));
    EXPECT_TRUE(host.iface.messages().contains(qgishost::reason::noDatabaseTable(layer.name())))
        << host.iface.messages().join('\n').toStdString();
    EXPECT_EQ(pgtest::snapshot(*db, "public.parcels").columns, before.columns);
}

} // namespace
