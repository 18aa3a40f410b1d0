#include "desktop/CachedDrawing.h"

#include <QStringView>

namespace kelvane::views {

QString pixmapCacheKey(const char* prefix, std::initializer_list<qint64> values)
{
    QString key = QLatin1String(prefix);
    key.append(QStringView(reinterpret_cast<const char16_t*>(std::data(values)),
        static_cast<qsizetype>(values.size() * sizeof(qint64) / sizeof(char16_t))));
    return key;
}

} // namespace kelvane::views
