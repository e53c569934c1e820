#pragma once

#include "CConnection.h"

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QString>

class CCanvas;
class CComposite;
class CControl;
class HNode;
class MProject;
class QIODevice;
class XmlWriter;

// A control-panel file (*.cpf, *.cpn) over the objects that hold it in
// memory: the document root (whose children are the scenes), the canvas, the
// project record and, for binding the controls and handing the devices their
// connections, the hardware tree. The file's version and the connections are
// kept here. Neither reading nor writing needs a QML scene.
//
// Element order: Project, Version, Canvas, Scenes, Connections.
class CPanelFile
{
    Q_DECLARE_TR_FUNCTIONS(CPanelFile)
public:
    static const char *const RootElement;
    static const char *const DefaultVersion;

    // Targets not owned; a null one is passed over when reading and written
    // with its defaults.
    CPanelFile(CComposite *document, CCanvas *canvas, MProject *project, HNode *hardware = nullptr);
    virtual ~CPanelFile() = default;

    void setHardware(HNode *hardware) { m_hardware = hardware; }

    // Replaces the scenes, the canvas screen, the project fields, the
    // version and the connections by the file's, then binds the controls
    // and hands each device of the tree its connection. A file that cannot
    // be read, is not well-formed or is no panel file changes nothing and
    // leaves the reason in errorString().
    bool read(const QString &path);
    bool read(QIODevice *device);
    // Binds every control to its node in the hardware tree and sets each
    // kept connection on its device.
    void bind();

    // Writes the whole file; an existing file is replaced only when all of
    // it was written.
    bool write(const QString &path);
    bool writeXml(XmlWriter &writer) const;

    // A control of the file read last that stored an id an earlier control
    // of the file already had; the reader gave it a new one, so links to
    // the stored id reach the earlier control only.
    struct RepeatedId
    {
        QPointer<CControl> control;
        quint32 storedId = 0;
    };

    QString fileVersion() const { return m_fileVersion; }
    const QList<CConnection> &connections() const { return m_connections; }
    const QList<RepeatedId> &repeatedIds() const { return m_repeatedIds; }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &message);

    CComposite *m_document;
    CCanvas *m_canvas;
    MProject *m_project;
    HNode *m_hardware;
    QString m_fileVersion = QLatin1String(DefaultVersion);
    QList<CConnection> m_connections;
    QList<RepeatedId> m_repeatedIds;
    QString m_error;
};
