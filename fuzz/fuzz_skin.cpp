// Seeds: resources/skins/*.xml
//
// A skin or accent file applied to the object that the scene reads its
// colours and images from.

#include "FuzzSupport.h"
#include "MQmlInterface.h"
#include "VQmlFrame.h"
#include "XSkinHandler.h"

#include <QBuffer>
#include <QXmlInputSource>
#include <QXmlSimpleReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(fuzz::bytes(data, size));
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    MQmlInterface target;
    XSkinHandler handler(&target);
    QXmlInputSource source(&buffer);
    QXmlSimpleReader reader;
    reader.setContentHandler(&handler);
    reader.setErrorHandler(&handler);
    reader.parse(&source);
    fuzz::settle();
    return 0;
}
