#include "KvrLogging.h"

Q_LOGGING_CATEGORY(lcApp, "kvr.app")
Q_LOGGING_CATEGORY(lcView, "kvr.view")
Q_LOGGING_CATEGORY(lcXml, "kvr.xml")
Q_LOGGING_CATEGORY(lcHardware, "kvr.hardware")
Q_LOGGING_CATEGORY(lcTransform, "kvr.transform")
Q_LOGGING_CATEGORY(lcComm, "kvr.comm")
Q_LOGGING_CATEGORY(lcDocument, "kvr.document")
Q_LOGGING_CATEGORY(lcWidgets, "kvr.widgets")
