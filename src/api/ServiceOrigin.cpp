#include "api/ServiceOrigin.h"

namespace orvella {

namespace {
constexpr auto defaultOrigin = "https://www.orvella.tv";
}

QUrl serviceOrigin()
{
    const QByteArray configured = qgetenv("ORVELLA_API_BASE").trimmed();
    QUrl origin(
        configured.isEmpty() ? QString::fromLatin1(defaultOrigin) : QString::fromUtf8(configured));
    if (!origin.isValid() || origin.scheme().isEmpty() || origin.host().isEmpty())
        origin = QUrl(QString::fromLatin1(defaultOrigin));
    origin.setPath({});
    origin.setQuery(QString());
    origin.setFragment(QString());
    return origin;
}

QUrl servicePage(const QString &path)
{
    QUrl page = serviceOrigin();
    page.setPath(path.startsWith(u'/') ? path : u'/' + path);
    return page;
}

} // namespace orvella
