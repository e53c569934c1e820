#include "WRichText.h"

#include "KvrLogging.h"
#include "WImagePath.h"

#include <QRegularExpression>

QString WRichText::sanitize(const QString &text)
{
    if (!text.contains(QLatin1Char('<')))
        return text;
    static const QRegularExpression image(QStringLiteral("<img\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression source(QStringLiteral("\\bsrc\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression link(QStringLiteral("</?a\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    QString out;
    int position = 0;
    QRegularExpressionMatchIterator it = image.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(position, m.capturedStart() - position);
        position = m.capturedEnd();
        const QRegularExpressionMatch src = source.match(m.captured());
        const QString target = src.captured(2) + src.captured(3) + src.captured(4);
        if (src.hasMatch() && WImagePath::isBuiltIn(target))
            out += m.captured();
        else
            qCWarning(lcWidgets).noquote() << "An image tag in a text was removed:" << m.captured();
    }
    out += text.mid(position);
    return out.remove(link);
}

QString WRichText::escape(const QString &plain)
{
    return plain.toHtmlEscaped();
}
