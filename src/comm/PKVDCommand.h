#pragma once

#include <QString>
#include <QStringList>

class TTransform;

// The text commands of the processors, endpoints and amplifiers: how a
// control's value becomes a set command and its parameter a query, what the
// device's answer to a query begins with, and under which key answers and
// pushed values are routed.
//
// The structure number of a control's attributes picks the command family:
//   0, 1  SA "N">i1=V            GA"N">i1
//   2     SA "N">i1>i2=V         GA"N">i1>i2
//   3     SA "N">L>i2=V          GA "N">L>i2      (L: the linked control's value)
//   4     SS H                   GS               (answer: S 0x<hex>)
//   5     SG H,V                 GG H             (answer: GG H,V)
//   6     SN H,V                 GN H             (answer: GN H,V)
//   7     SA"C">i2=V             GA"C">i2         (C: the channel label)
//   8     MA "N">i1=V            GA"N">0>i2
//   9     V, cut at ";"          the transform's own poll command
//   10    -                      GL S             (S: card slot, upper-case hex)
// N is the bound block's label; H an index in lower-case hexadecimal.
class PKVDCommand
{
public:
    enum Structure {
        TwoIndexes = 2,
        Linked = 3,
        Status = 4,
        GroupLevel = 5,
        GroupNumber = 6,
        Channel = 7,
        Matrix = 8,
        Passthrough = 9,
        LevelReport = 10,
    };
    static constexpr int MaxStructure = 10;

    // The set commands for the transform's value, each ending with CR.
    // Empty when none can be built; problem then says why, when the reason
    // is worth a warning.
    static QStringList setCommands(const TTransform *transform, QString *problem);
    // The query for the transform's parameter, without CR; empty (with
    // problem as above) when there is none.
    static QString query(const TTransform *transform, QString *problem);

    // What the device's answer to query begins with: the query and "=" for
    // parameters, the query and "," for groups and room combinations, "S "
    // for the status, and the query and a blank for a level report.
    static QString replyTag(const QString &query);
    // The key under which the answers to query are routed. Parameter
    // queries with and without the blank before the quote address the same
    // value; level-report slots are compared without regard to case.
    static QString routingKey(const QString &query);
    // The routing key of an answer or pushed line.
    static QString replyKey(const QString &line);

    // The parameter that a set command of structure changes, as the start
    // of the command that names it ("SA \"G\">1=", "SG 1a,", "SS "); empty
    // for ready-made commands, which are not merged.
    static QString settingKey(int structure, const QString &command);

    // Whether name can stand in a command: a double quote, "=", ";", a
    // line end or another control character would end the name, the
    // command or the reply early, or mean nothing to the device.
    static bool isSafeName(const QString &name);

private:
    // The structures whose commands address a named parameter: SA, MA, GA.
    static bool isParameterFamily(int structure);
    // What follows the command word of those: the quoted name and the
    // indexes; null (with problem) when a name cannot stand in a command.
    static QString parameterAddress(const TTransform *transform, bool forSet, QString *problem);
    static QString checkedName(const TTransform *transform, const QString &name, QString *problem);
    static QString controlName(const TTransform *transform);
    static QString hex(int value);
    // The value text of the control that a structure-3 control is linked
    // to, which addresses the parameter; null (with problem) when there is
    // no link or the value cannot stand in a command.
    static QString linkedName(const TTransform *transform, QString *problem);
};
