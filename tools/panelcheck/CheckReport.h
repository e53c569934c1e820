#pragma once

#include "CheckFinding.h"
#include "CheckOnline.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class CheckDocument;

// What a check found, as plain text for people and as JSON for scripts,
// and the exit code that sums it up: 0 when every control can work, 1 when
// something will not, 2 when the file cannot be read.
class CheckReport
{
public:
    explicit CheckReport(const QString &file);

    // The file could not be read, for the reason given.
    void setUnreadable(const QString &reason);
    // Takes the sizes of the opened document, its panels in order and its
    // devices.
    void describe(CheckDocument *document);
    void addFindings(const QList<CheckFinding> &findings) { m_findings += findings; }
    // The devices as the online check found them.
    void setOnline(const QList<CheckOnline::Device> &devices);

    const QList<CheckFinding> &findings() const { return m_findings; }
    int exitCode() const;
    QString text() const;
    QByteArray json() const;

private:
    QString summaryLine() const;
    QString deviceLine(const CheckOnline::Device &device) const;

    QString m_file;
    bool m_readable = true;
    QString m_error;
    bool m_archive = false;
    bool m_design = false;
    bool m_online = false;
    int m_scenes = 0;
    int m_panels = 0;
    int m_controls = 0;
    // Scene and panel names, in the document's order.
    QList<QPair<QString, QString>> m_panelOrder;
    QList<CheckOnline::Device> m_devices;
    QList<CheckFinding> m_findings;
};
