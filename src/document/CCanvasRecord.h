#pragma once

#include <QString>

class CCanvas;

// One entry of a list of device screens: the device's name, its screen
// diagonal in inches and its aspect, and whatever text trails them.
class CCanvasRecord
{
public:
    CCanvasRecord() = default;
    virtual ~CCanvasRecord() = default;

    // Reads "name<TAB>size<TAB>aspect<TAB>rest" (the rest is optional and
    // ends at the line feed). A line without a name, or whose size or aspect
    // is not a positive number, is refused and leaves the record unchanged.
    bool parse(const QString &line);
    // Sets the canvas's device, size and aspect, keeping their previous values.
    void copyTo(CCanvas &canvas) const;

    QString device() const { return m_device; }
    float size() const { return m_size; }
    float aspect() const { return m_aspect; }
    QString rest() const { return m_rest; }

private:
    QString m_device;
    float m_size = 0.0f;
    float m_aspect = 0.0f;
    QString m_rest;
};
