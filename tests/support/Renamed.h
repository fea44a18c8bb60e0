#pragma once

// A layer's expected content after fields were deleted and renamed: the
// deleted ones gone from the fields and from every row, each renamed one's
// definition and values under its new name. One helper for every way the
// tests read a table back (GDAL, QGIS, the database's own queries).

namespace gistest {

// `fields` maps a name to its definition, `rows` an id to a row that maps a
// name to its value; each of `renamed` is a (from, to) pair.
template <class Fields, class Rows, class Names, class Renames>
void deleteAndRename(Fields& fields, Rows& rows, const Names& deleted, const Renames& renamed)
{
    for (const auto& gone : deleted) fields.erase(gone);
    for (auto& [id, row] : rows)
        for (const auto& gone : deleted) row.erase(gone);
    for (const auto& [from, to] : renamed) {
        fields[to] = fields.at(from);
        fields.erase(from);
        for (auto& [id, row] : rows) {
            row[to] = row.at(from);
            row.erase(from);
        }
    }
}

} // namespace gistest
