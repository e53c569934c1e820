#include "CheckFinding.h"

QString CheckFinding::keyword(Kind kind)
{
    switch (kind) {
    case Design:
        return QStringLiteral("design");
    case Unbound:
        return QStringLiteral("unbound");
    case NoParameter:
        return QStringLiteral("no-parameter");
    case UnknownTransform:
        return QStringLiteral("unknown-transform");
    case NoQml:
        return QStringLiteral("no-qml");
    case MissingPanel:
        return QStringLiteral("missing-panel");
    case DuplicateId:
        return QStringLiteral("duplicate-id");
    case MissingImage:
        return QStringLiteral("missing-image");
    case NoAddress:
        return QStringLiteral("no-address");
    case DeviceAbsent:
        return QStringLiteral("device-absent");
    case DeviceSilent:
        return QStringLiteral("device-silent");
    case Refused:
        return QStringLiteral("refused");
    case Unanswered:
        return QStringLiteral("unanswered");
    case Unchecked:
        return QStringLiteral("unchecked");
    }
    return QString();
}

QString CheckFinding::quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QJsonObject CheckFinding::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("kind"), keyword(kind));
    const auto put = [&object](const char *key, const QString &value) {
        if (!value.isEmpty())
            object.insert(QLatin1String(key), value);
    };
    put("scene", scene);
    put("panel", panel);
    put("control", control);
    if (controlId != 0)
        object.insert(QStringLiteral("id"), qint64(controlId));
    put("widget", widget);
    put("device", device);
    put("connection", connection);
    object.insert(QStringLiteral("message"), message);
    for (auto it = details.constBegin(); it != details.constEnd(); ++it)
        object.insert(it.key(), it.value());
    return object;
}
