#include "cli/Texts.h"

namespace cli::text {

namespace {

std::string listed(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return list;
}

} // namespace

const std::string_view help = R"(Usage: quillet COMMAND [OPTION]... SOURCE...
Rename and delete fields of GIS data in place, as the Quillet add-in does:
a crash at any moment leaves the data whole, types and aliases are kept,
and another program's lock is waited for at most a bound.

Commands:
  fields SOURCE...                 list each layer's fields
  rename OLD NEW SOURCE...         rename field OLD to NEW
  delete FIELD[,FIELD...] SOURCE...
                                   delete the fields and their values

A SOURCE is anything gishost opens: a file, a folder (FileGDB), a
connection string (PG:...) or a URI. Each source gets the same change and
one line saying what became of it.

Options:
  -l, --layer NAME          the layer to work on; needed where a source has
                            several layers
      --json                (fields) print JSON for scripts
  -t, --lock-timeout SECONDS
                            wait at most this long for another program's
                            lock (default 2)
  -h, --help                show this help and exit

Exit status (the worst over all sources):
  0  done
  1  refused, with the reason (a name the rules forbid, a field that exists
     or is required, read-only data, a missing layer)
  2  the command line is wrong
  3  another program's lock stood in the way longer than the bound
  4  a data error: a source that cannot be opened, a change that failed

Example: rename a field in every shapefile of a folder
  quillet rename label lbl delivery/*.shp
)";

std::string unknownCommand(std::string_view command) { return "unknown command '" + std::string(command) + "'"; }

std::string wrongArgumentCount(std::string_view command)
{
    return "wrong number of arguments for '" + std::string(command) + "'";
}

std::string badLockTimeout(std::string_view given)
{
    return "the lock timeout must be a number of seconds, not '" + std::string(given) + "'";
}

std::string noVectorLayer() { return "There is no vector layer in it."; }

std::string noSuchLayer(std::string_view layer, const std::vector<std::string>& layers)
{
    return "There is no layer named '" + std::string(layer) + "'; its layers are: " + listed(layers) + ".";
}

std::string chooseLayer(const std::vector<std::string>& layers)
{
    return "It has several layers (" + listed(layers) + "): name one with --layer.";
}

std::string oldFieldKept(std::string_view field)
{
    return "Field '" + std::string(field) +
           "' could not be deleted after its values were copied; the new field was removed again and the field was "
           "not renamed.";
}

std::string oneLine(std::string_view text)
{
    std::string line;
    for (const char c : text) {
        if (c != '\r')
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    return line;
}

} // namespace cli::text
