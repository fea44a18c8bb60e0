#include "gishost/app/Sources.h"

#include "engine/postgres/PostgresSession.h"

#include <cpl_string.h>
#include <gdal.h>

#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <map>
#include <utility>

namespace gishost {

namespace {

const QString pgPrefix = QStringLiteral("PG:");

QStringList extensionPatterns(GDALDriverH driver)
{
    const char* extensions = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSIONS, nullptr);
    if (!extensions) extensions = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSION, nullptr);
    QStringList patterns;
    for (const QString& extension : QString::fromUtf8(extensions ? extensions : "").split(QLatin1Char(' '), Qt::SkipEmptyParts))
        patterns << QStringLiteral("*.") + extension;
    return patterns;
}

// libpq's keyword=value form; the pairs naming the password are cut out,
// with the blanks after them, and the last one's value kept.
Credentials splitKeywords(const QString& body)
{
    std::string text = body.toStdString();
    Credentials found;
    const auto pairs = engine::pg::keywordPairs(text);
    for (auto pair = pairs.rbegin(); pair != pairs.rend(); ++pair) {
        if (!EQUAL(pair->key.c_str(), "password")) continue;
        if (found.password.isEmpty()) found.password = QString::fromStdString(pair->value);
        const std::size_t end = std::min(text.size(), text.find_first_not_of(" \t\n", pair->end));
        text.erase(pair->begin, end - pair->begin);
    }
    found.connection = QString::fromStdString(text).trimmed();
    return found;
}

Credentials splitUri(const QString& text)
{
    QUrl url(text, QUrl::TolerantMode);
    QUrlQuery query(url);
    Credentials found{text, url.password(QUrl::FullyDecoded)};
    if (query.hasQueryItem(QStringLiteral("password"))) {
        found.password = query.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
        query.removeAllQueryItems(QStringLiteral("password"));
        url.setQuery(query);
    }
    // Written anew only when there was a password, so that nothing else changes.
    if (!found.password.isEmpty()) {
        url.setPassword(QString());
        found.connection = url.toString(QUrl::FullyEncoded);
    }
    return found;
}

bool isUri(const QString& text) { return text.contains(QLatin1String("://")); }

// A connection as "PG:" (as typed) and what follows it.
std::pair<QString, QString> prefixAndBody(const QString& connection)
{
    const qsizetype cut = connection.startsWith(pgPrefix, Qt::CaseInsensitive) ? pgPrefix.size() : 0;
    return {connection.left(cut), connection.mid(cut)};
}

const QString recentKey = QStringLiteral("recentSources");

} // namespace

QString openFilter()
{
    std::map<QString, QStringList> byDriver;
    QStringList all;
    for (int i = 0; i < GDALGetDriverCount(); ++i) {
        GDALDriverH driver = GDALGetDriver(i);
        if (!GDALGetMetadataItem(driver, GDAL_DCAP_VECTOR, nullptr) && !GDALGetMetadataItem(driver, GDAL_DCAP_RASTER, nullptr))
            continue;
        const QStringList patterns = extensionPatterns(driver);
        if (patterns.isEmpty()) continue;
        QStringList& listed = byDriver[QString::fromUtf8(GDALGetMetadataItem(driver, GDAL_DMD_LONGNAME, nullptr))];
        listed << patterns;
        listed.removeDuplicates();
        all << patterns;
    }
    all.removeDuplicates();
    all.sort();
    QStringList filters{QStringLiteral("All supported files (%1)").arg(all.join(QLatin1Char(' ')))};
    for (const auto& [name, patterns] : byDriver) filters << QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' ')));
    filters << QStringLiteral("All files (*)");
    return filters.join(QLatin1String(";;"));
}

bool isConnection(const QString& source)
{
    return source.startsWith(pgPrefix, Qt::CaseInsensitive) ||
           source.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           source.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

Credentials splitPassword(const QString& source)
{
    if (!isConnection(source)) return {source, {}};
    const auto [prefix, body] = prefixAndBody(source);
    Credentials found = isUri(body) ? splitUri(body) : splitKeywords(body);
    found.connection.prepend(prefix);
    return found;
}

QString withPassword(const Credentials& credentials)
{
    if (credentials.password.isEmpty()) return credentials.connection;
    if (const auto [prefix, body] = prefixAndBody(credentials.connection); isUri(body)) {
        QUrl url(body, QUrl::TolerantMode);
        url.setPassword(credentials.password, QUrl::DecodedMode);
        return prefix + url.toString(QUrl::FullyEncoded);
    }
    QString quoted = credentials.password;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return credentials.connection + QStringLiteral(" password='%1'").arg(quoted);
}

QString fileKey(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QSettings settings() { return QSettings(QStringLiteral("Quillet"), QStringLiteral("gishost")); }

QStringList recentSources() { return settings().value(recentKey).toStringList().mid(0, recentKept); }

void addRecentSource(const QString& source)
{
    const QString shown = isConnection(source) ? splitPassword(source).connection : fileKey(source);
    QStringList sources = recentSources();
    sources.removeAll(shown);
    sources.prepend(shown);
    settings().setValue(recentKey, sources.mid(0, recentKept));
}

} // namespace gishost
