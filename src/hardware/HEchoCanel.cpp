#include "HEchoCanel.h"

QString HEchoCanel::category() const
{
    return QStringLiteral("Echo Cancellation");
}

bool HEchoCanel::finishLoading()
{
    HNode::finishLoading();
    setTypenum(QStringLiteral("0"));
    setTitle(QStringLiteral("EchoCancel"));
    return true;
}
