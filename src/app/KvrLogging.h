#pragma once

#include <QLoggingCategory>

// One logging category per subsystem, so that a user can turn a subsystem's
// chatter on or off with QT_LOGGING_RULES (for example "kvr.comm.debug=true")
// without rebuilding.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcView)
Q_DECLARE_LOGGING_CATEGORY(lcXml)
Q_DECLARE_LOGGING_CATEGORY(lcHardware)
Q_DECLARE_LOGGING_CATEGORY(lcTransform)
Q_DECLARE_LOGGING_CATEGORY(lcComm)
Q_DECLARE_LOGGING_CATEGORY(lcDocument)
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
