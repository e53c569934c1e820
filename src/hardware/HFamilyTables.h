#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The tables that every device family carries beside its control templates:
// Chassis.dict lists the device titles the family knows; InputModules.dict
// and OutputModules.dict give, for each card type as the design project
// writes it, the card's template and the folder it is shown in. Each table
// is read from the resources once and kept for the run.
class HFamilyTables
{
public:
    struct Module
    {
        QString cardType;
        QString templateFile;
        QString category;
    };

    // Whether title is a line of the family's Chassis.dict.
    static bool knowsDevice(const QString &folder, const QString &title);
    // The row of cardType in the family's input (direction 1) or output
    // (direction 2) table.
    static std::optional<Module> module(const QString &folder, int direction,
                                        const QString &cardType);

    // The lines of a table's text, without their line ends; blank lines
    // are left out.
    static QStringList tableLines(const QString &text);
    // The rows of a module table's text. Fields are separated by tabs; one
    // row of the shipped tables separates its card type from the template
    // by a blank instead, which is read as the separator it stands for.
    // Rows that still lack a field are left out.
    static QList<Module> parseModules(const QString &text);
};
