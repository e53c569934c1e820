// Seeds: tests/data/templates/*/*.xml resources/data/ZMP/Gain_0.xml resources/data/ZMP/Selector_4.xml resources/data/ZMP/Input_2.xml resources/data/KA/Amp_1.xml resources/data/Korvel/Group_0.xml resources/data/Korvel/RCGroup_0.xml
//
// A control template read twice, as the program reads templates: for the
// parameter list of a node, and for the control definition of each of those
// parameters (and for every control at once).

#include "CControl.h"
#include "CParameter.h"
#include "FuzzSupport.h"
#include "XControlHandler.h"
#include "XParameterHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytes(data, size);
    QList<CParameter *> parameters;
    XParameterHandler parameterHandler(&parameters);
    XmlHandler::parseData(bytes, &parameterHandler);

    QStringList filters{QString()};
    for (const CParameter *parameter : std::as_const(parameters))
        filters << parameter->text();
    qDeleteAll(parameters);
    // A template holds a few dozen parameters; a hostile one may name
    // thousands, and each more read teaches nothing new.
    filters = filters.mid(0, 8);
    for (const QString &filter : std::as_const(filters)) {
        XControlHandler controlHandler;
        controlHandler.setFilter(filter);
        XmlHandler::parseData(bytes, &controlHandler);
        qDeleteAll(controlHandler.takeControls());
    }
    fuzz::settle();
    return 0;
}
