#include "gishost/app/Sources.h"

#include <gdal.h>

#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>

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

bool isSpace(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'); }

// libpq's keyword=value form; the pair naming the password is cut out.
Credentials splitKeywords(QString text)
{
    Credentials found;
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < text.size() && isSpace(text[i])) ++i;
    };
    while (skipSpaces(), i < text.size()) {
        const qsizetype start = i;
        while (i < text.size() && text[i] != QLatin1Char('=') && !isSpace(text[i])) ++i;
        const QString key = text.mid(start, i - start);
        skipSpaces();
        if (i >= text.size() || text[i] != QLatin1Char('=')) break;
        ++i;
        skipSpaces();
        QString value;
        if (i < text.size() && text[i] == QLatin1Char('\'')) {
            for (++i; i < text.size() && text[i] != QLatin1Char('\''); ++i) {
                if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) ++i;
                value += text[i];
            }
            ++i;
        } else {
            while (i < text.size() && !isSpace(text[i])) value += text[i++];
        }
        if (key.compare(QLatin1String("password"), Qt::CaseInsensitive) != 0) continue;
        found.password = value;
        skipSpaces();
        text.remove(start, i - start);
        i = start;
    }
    found.connection = text.trimmed();
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

const QString organisation = QStringLiteral("Quillet");
const QString application = QStringLiteral("gishost");
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

QStringList RecentSources::list() const
{
    return QSettings(organisation, application).value(recentKey).toStringList().mid(0, kept);
}

void RecentSources::add(const QString& source)
{
    const QString canonical = isConnection(source) ? QString() : QFileInfo(source).canonicalFilePath();
    const QString shown = canonical.isEmpty() ? splitPassword(source).connection : canonical;
    QStringList sources = list();
    sources.removeAll(shown);
    sources.prepend(shown);
    QSettings(organisation, application).setValue(recentKey, sources.mid(0, kept));
}

} // namespace gishost
