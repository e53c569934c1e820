#include "HNodeFactory.h"

#include "HAudioIO.h"
#include "HBlock.h"
#include "HChassis.h"
#include "HDante.h"
#include "HGroup.h"
#include "HParameterSet.h"
#include "HParameterSetList.h"
#include "HRCGroup.h"
#include "HRCRoom.h"
#include "HZMPLink.h"

#include <QStringList>

HNode *HNodeFactory::create(const QString &typeName, const QString &cardType) const
{
    static const QStringList devices = {"ZMP", "EmberZmp", "Bramble", "Xt10", "Xt20AEC", "Xt30c"};
    static const QStringList receivers = {"Input", "PstnRx", "VoipRx", "UsbRx"};
    static const QStringList transmitters = {"Output", "PstnTx", "VoipTx", "UsbTx"};
    static const QStringList links = {"ZMPLinkTx", "DriveNet"};
    // Kinds without controls of their own; the tree does not show them.
    static const QStringList hidden = {"Duplo", "Serialin", "Serialout",
                                       "GPO", "GPI", "DeviceNode"};

    if (typeName.isEmpty())
        return nullptr;
    if (devices.contains(typeName))
        return new HChassis;
    if (receivers.contains(typeName))
        return new HAudioIO(cardType, HIoNode::Receive);
    if (transmitters.contains(typeName))
        return new HAudioIO(cardType, HIoNode::Transmit);
    if (links.contains(typeName))
        return new HZMPLink;
    if (typeName == QLatin1String("DanteRx"))
        return new HDante(cardType, HIoNode::Receive);
    if (typeName == QLatin1String("DanteTx"))
        return new HDante(cardType, HIoNode::Transmit);
    if (hidden.contains(typeName))
        return nullptr;
    if (typeName == QLatin1String("Group"))
        return new HGroup;
    if (typeName == QLatin1String("RCGroup"))
        return new HRCGroup;
    if (typeName == QLatin1String("RCRoom"))
        return new HRCRoom;
    if (typeName == QLatin1String("ParameterSet"))
        return new HParameterSet;
    if (typeName == QLatin1String("PanelList"))
        return new HParameterSetList;
    return new HBlock;
}
