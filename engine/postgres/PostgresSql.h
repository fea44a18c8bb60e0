#pragma once

// PostgreSQL/PostGIS tables reached through GDAL's PostgreSQL driver. Schema
// changes and the column copy are the database's own SQL on a session of
// the engine's own (PostgresSession.h) beside GDAL's, each change one
// transaction whose statements together wait for other sessions' locks at
// most the call's bound (LockWait, lockTimeout()); a failure rolls the whole
// change back and its reason, with the database's message, goes to
// explain(); a lock that stood in the way is named as such. A change the
// role has no right to make (not the table's owner, no right to update the
// column, a read-only database) is refused with E_ACCESSDENIED before
// anything is tried. The catalog reads take no lock on any table.

#include "runtime/Status.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class GDALDataset;
class OGRFieldDefn;

namespace engine::pg {

struct Table {
    std::string schema;
    std::string name;
};

// "schema"."name", each part quoted.
std::string quotedName(const Table& table);
// schema.name as a person reads it.
std::string displayName(const Table& table);

// `text` with every password that `connection` or PGPASSWORD holds blanked
// out, so that neither messages nor logs ever show one.
std::string hidePasswords(const std::string& text, const std::string& connection);

runtime::HResult currentDatabase(GDALDataset& dataset, std::string& name);

// A table or view whose rows the connected role may read, under the name
// GDAL gives its layer: the bare name in the current schema, else schema.name.
struct TableLayer {
    std::string layerName;
    Table table;
};
runtime::HResult readableTables(GDALDataset& dataset, std::vector<TableLayer>& tables);
// The table behind a layer of that name, if the role may read it.
std::optional<Table> tableOf(GDALDataset& dataset, const std::string& layerName);
// Waits, keeping the windows painted, at most what is left of the call's
// bound while another session holds the table of the layer exclusively
// (ALTER TABLE, VACUUM FULL, CLUSTER); GDAL's own reads of the table would
// wait for it with the windows frozen. Explains a lock that stayed.
runtime::HResult awaitTable(const std::string& connection, const std::string& layerName);
// Changes whenever a column of any table changes (added, dropped, its type,
// default, not-null or comment); empty when it cannot be read.
std::string schemaVersion(GDALDataset& dataset);

// What GDAL's field definitions do not tell: the column's type as the
// database names it, and its comment, which is the field's alias.
struct ColumnFacts {
    std::string type;
    std::optional<std::string> comment;
};
runtime::HResult readColumns(GDALDataset& dataset, const Table& table, std::map<std::string, ColumnFacts>& columns);

// The default GDAL read from the catalog as an OGR default literal: the
// database's casts dropped ('-3'::integer is -3, '2020-01-02'::date is
// '2020-01-02'), booleans as 1 and 0. None when the field has no default.
std::optional<std::string> ogrDefault(const OGRFieldDefn& field);

// The column type that holds an OGR field of this kind.
std::string columnType(const OGRFieldDefn& field);

// Adds a column like `field`: of its type (or of `type`, as the database
// names it), with its default, its not-null constraint and, as the column's
// comment, its alternative name (the alias). A not-null column without a
// default is filled with a neutral value of its type for the rows already
// there.
runtime::HResult addColumn(GDALDataset& dataset, const Table& table, const OGRFieldDefn& field,
                           const std::optional<std::string>& type = std::nullopt);
// Dropping the source or the target of a copy ends the copy's trigger in
// the same transaction.
runtime::HResult dropColumn(GDALDataset& dataset, const Table& table, const std::string& column);
// Refused unless the target's type holds every value of the source's
// unchanged (the same type, or a wider one of the same kind), and for a
// source whose values the database makes (identity, generated). A trigger
// first keeps the target in step with every row other sessions write, until
// one of the two columns is dropped or the session ends (the copy fails, the
// program ends or its connection is cut); then the rows are copied in
// batches, each a transaction of its own waiting at most the whole bound, so
// that other editors wait for one short batch at most.
runtime::HResult copyColumn(GDALDataset& dataset, const Table& table, const std::string& from, const std::string& to);

} // namespace engine::pg
