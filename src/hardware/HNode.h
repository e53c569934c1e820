#pragma once

#include "HTreeItems.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

class CParameter;
class HBlockRegistry;
class HComposite;
class PProtocol;
class QStandardItem;
class QStandardItemModel;
class QXmlAttributes;
class XmlWriter;

// A node of the hardware tree: a device, a card, a processing block or a
// project-wide object of the design project. It knows its parent, the device
// protocol through which its values travel, the properties that identify it
// and the parameters that its control template offers.
//
// Ownership: a composite owns its children; a node never deletes itself. The
// pruning operations answer true for "take me out", and whoever holds the
// node (its parent composite, or the caller for a node that hangs nowhere)
// removes and deletes it.
class HNode : public QObject
{
    Q_OBJECT
public:
    enum Flag : quint32 {
        Device = 0x1,          // holds a device connection
        Removable = 0x2,       // pruning may remove it
        Checked = 0x4,         // checked in the tree
        InModel = 0x8,         // put into the tree model
        MainProcessor = 0x10,  // the project's main processor
        HasCheckedChild = 0x20,
        InDesign = 0x40,       // read from, or found again in, the last design file
    };
    enum LoadResult { NoTemplate = 0, NoParameters = 1, ParametersRead = 2 };

    HNode();
    ~HNode() override;

    // Category texts of the project-wide kinds; the root's folder items carry
    // the same texts, so both must come from here.
    static QString groupsCategory();
    static QString parameterSetsCategory();
    static QString rcGroupsCategory();
    static QString parameterSetListsCategory();

    // Reading the design project.
    virtual void parseProperty(const QXmlAttributes &atts);
    virtual void parseTarget(const QXmlAttributes & /*atts*/, bool /*mergeMode*/) {}
    virtual void setAttribute(const QString & /*name*/, const QString & /*value*/) {}
    virtual void attributeChanged(const QString & /*name*/) {}
    // Called when the node's element is complete; false means the node is
    // not wanted and its holder deletes it.
    virtual bool finishLoading();
    virtual bool writeXml(XmlWriter * /*writer*/) { return true; }
    virtual void elementEnded() {}

    // Finders. The ones that name a category also test a composite itself;
    // findByNodeID and findByAttribute look below a composite.
    virtual HNode *findByCategory(const QString &category);
    virtual HNode *findByNodeID(int nodeID);
    virtual HNode *findByCategoryAndNodeID(const QString &category, int nodeID);
    virtual HNode *findByAttribute(const QString &name, const QString &value);
    virtual HNode *findByCategoryAndAttribute(const QString &category, const QString &name,
                                              const QString &value);

    // Tree maintenance. The prune operations delete the matching nodes below
    // a composite and answer whether this node itself should go: an
    // unchecked removable node, a node (with a parent) whose checked state
    // is state, a node that never reached the tree model.
    virtual bool removeChild(HNode * /*node*/) { return false; }
    virtual bool pruneUnchecked();
    virtual quint32 clearChecked();
    virtual bool pruneByChecked(bool state);
    // Only a node with a parent is checked; checking marks the parent.
    virtual void setChecked(bool checked);
    // A composite is checked when one of its children is.
    virtual bool isChecked() const;
    // Clears the design-file mark below this node, and this node's own
    // unless keepOwn.
    virtual void clearState(bool keepOwn);

    // Collecting: every matching node of the subtree, in tree order, the
    // subtree's top included. The entry points empty the list first.
    bool collectByCategory(const QString &category, QList<HNode *> &list);
    bool collectNodes(const QString &category, QList<HNode *> &list);
    // Appends the matches of this subtree without emptying the list.
    virtual void appendByCategory(const QString &category, QList<HNode *> &list);
    // As appendByCategory; kinds that stand for several categories override it.
    virtual void appendNodes(const QString &category, QList<HNode *> &list);
    virtual void sortNodes(QList<HNode *> & /*list*/) const {}

    virtual void connectTo(QObject * /*receiver*/) {}
    virtual void clearHasCheckedChild();
    virtual bool pruneNotInModel();
    virtual void dump() const {}
    virtual bool deviceFlag() const { return false; }
    virtual void buildModel(QStandardItemModel *model);
    virtual void clearText(QString & /*text*/) const {}
    virtual bool isUsable() const { return true; }
    // Hangs node under this one; false when it was not attached, and the
    // caller keeps (and must delete) it.
    virtual bool addNode(HNode *node);
    virtual void moveToEnd(HNode * /*node*/) {}
    virtual HNode *childAt(int /*i*/) const { return nullptr; }

    // Kind-specific operations; the base answers neutrally.
    virtual bool registerNode(HNode * /*node*/) { return false; }
    virtual bool enterRegistry(HBlockRegistry * /*registry*/) { return false; }
    virtual QString colour() const { return QStringLiteral("black"); }
    virtual QStringList selectorItems() const { return QStringList(); }
    // Room-combine polling, relayed by the pass-through transform.
    virtual bool isAwaitingReply() const { return false; }
    virtual QString pollCommand() { return QString(); }
    virtual void takeReply(const QString & /*text*/) {}
    virtual QString replyText() const { return QString(); }

    virtual void setProtocol(PProtocol *protocol);
    // The node under which the design reader hangs this one.
    virtual HComposite *chooseParent(HComposite *mainChassis, HComposite *activeChassis);
    virtual QString channelName(int /*i*/) const { return QString(); }
    virtual int channelBase() const { return -1; }
    virtual int channelCount() const { return 0; }
    virtual int cardPin(int /*channel*/) const { return -1; }
    // ":/data/<folder>/<title without blanks>_<typenum>.xml"; empty when
    // there is no family folder or no title.
    virtual QString templatePath() const;
    virtual QString templateFolder() const;
    // The node of otherTree that stands for the same thing: same category,
    // node id, title, type number, index and design-project id (groups and
    // sets of one kind differ only by their id). A node already marked
    // InDesign is passed over: while a design is read again, it was found
    // for an earlier node of the file, and two nodes of a file that look
    // alike must each find their own.
    virtual HNode *findCounterpart(HNode *otherTree);
    virtual QString category() const { return QString(); }
    virtual void setParentNode(HNode *node);
    // The folder item with this text that the parent created for this node.
    virtual QStandardItem *findParentItem(QStandardItemModel *model, const QString &text) const;

    // Tree navigation and identity.
    HNode *parentNode() const { return m_parent; }
    HNode *root() const;
    HNode *firstWithFlags(quint32 mask) const;
    QString deviceLabel() const;
    QString connectionKey() const;

    // Parameters of the control template.
    const QList<CParameter *> &parameters() const { return m_parameters; }
    CParameter *findParameter(const QString &name) const;
    // Deletes parameters from the end until at most count remain.
    void trimParameters(int count);
    void clearParameters();
    // Reads the control template afresh into the parameters; a LoadResult.
    int loadParameters();

    // The card slot that device commands address for this I/O node, from
    // its device's title and its own.
    int slotNumber() const;

    QString inputLabel(int i) const;
    // "noPortLabel" beyond the port labels.
    QString portLabel(int i) const;
    // The second word of text as a decimal number; 0, with a warning, when
    // there is none.
    static int channelNumber(const QString &text);

    PProtocol *protocol() const { return m_protocol; }
    QString label() const { return m_label; }
    void setLabel(const QString &label) { m_label = label; }
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QString scriptFile() const { return m_scriptFile; }
    int module() const { return m_module; }
    int channel() const { return m_channel; }
    int index() const { return m_index; }
    int nodeID() const { return m_nodeID; }
    void setNodeID(int nodeID) { m_nodeID = nodeID; }
    QString typenum() const { return m_typenum; }
    void setTypenum(const QString &typenum) { m_typenum = typenum; }
    QString id() const { return m_id; }
    void setId(const QString &id) { m_id = id; }

    quint32 flags() const { return m_flags; }
    void setFlags(quint32 flags) { m_flags = flags; }
    bool testFlag(Flag flag) const { return (m_flags & flag) == flag; }
    void setFlag(Flag flag, bool on = true);

    int sortKey() const { return m_sortKey; }
    void setSortKey(int key) { m_sortKey = key; }
    int itemFlags() const { return m_itemFlags; }
    void setItemFlags(int flags) { m_itemFlags = flags; }

    QString channelNames() const { return m_channelNames; }
    int controlCount() const { return m_controlCount; }
    int ammChannelCount() const { return m_ammChannelCount; }
    int actionCount() const { return m_actionCount; }
    int teleconInputs() const { return m_teleconInputs; }
    int micInputs() const { return m_micInputs; }

    QMap<QString, QString> phoneLabels() const { return m_phoneLabels; }
    QMap<QString, QString> phoneLabelsAlt() const { return m_phoneLabelsAlt; }
    void setPhoneLabels(const QMap<QString, QString> &labels) { m_phoneLabels = labels; }
    void setPhoneLabelsAlt(const QMap<QString, QString> &labels) { m_phoneLabelsAlt = labels; }
    // Replaces the first "Phone1" to "Phone8" in text by its label in labels,
    // when one is stored for it.
    static QString applyPhoneLabels(const QString &text, const QMap<QString, QString> &labels);

    int roomNumber() const { return m_roomNumber; }
    void setRoomNumber(int number) { m_roomNumber = number; }
    int rcGroupNumber() const { return m_rcGroupNumber; }
    QString roomCombine() const { return m_roomCombine; }
    int blockMode() const { return m_blockMode; }
    QString maxValue() const { return m_maxValue; }
    QString minValue() const { return m_minValue; }
    // "max,min" of each range property, by property name.
    QMap<QString, QString> ranges() const { return m_ranges; }
    QStringList inputLabels() const { return m_inputLabels; }
    bool parametersTrimmed() const { return m_parametersTrimmed; }
    bool hasRanges() const { return m_hasRanges; }
    int portIndex() const { return m_portIndex; }
    void setPortIndex(int index) { m_portIndex = index; }
    int pinIndex() const { return m_pinIndex; }
    void setPinIndex(int index) { m_pinIndex = index; }
    QStringList portLabels() const { return m_portLabels; }
    QStringList modelNames() const { return m_modelNames; }
    void setModelNames(const QStringList &names) { m_modelNames = names; }
    // Whether modelNames holds one of the LRT-4 amplifiers, whose groups
    // the tree does not show.
    bool listsLrt4Device() const;
    // The blocks that combine rooms: "Conference Room Router", "General
    // Purpose Room Combiner", "Standard Room Combiner".
    static bool isRoomCombiner(const QString &title);
    // The LRT-4 amplifier models: "PQX510D", "PQX520D", "PQX540D".
    static bool isLrt4Model(const QString &model);

signals:
    void queryResponseReady();
    void updateComboColorList();
    void updateRoomColor(const QString &color, int id);
    void sendMessage(const QString &message, int id);
    void showErrorDialog(const QString &text, int id);

protected:
    void addRange(const QString &name, const QXmlAttributes &atts);

    HNode *m_parent = nullptr;
    PProtocol *m_protocol = nullptr;
    QString m_label;
    QString m_title;
    QString m_scriptFile;
    int m_module = 0;
    int m_channel = 0;
    int m_index = 0;
    int m_nodeID = 0;
    QString m_typenum;
    QString m_id;
    quint32 m_flags = Removable;
    int m_sortKey = -1;
    int m_itemFlags = HTreeItems::DefaultFlags;
    QString m_channelNames;
    int m_controlCount = 0;
    int m_ammChannelCount = -1;
    int m_actionCount = 0;
    int m_teleconInputs = -1;
    int m_micInputs = -1;
    QMap<QString, QString> m_phoneLabels;
    QMap<QString, QString> m_phoneLabelsAlt;
    int m_roomNumber = -1;
    int m_rcGroupNumber = -1;
    QString m_roomCombine;
    QList<CParameter *> m_parameters;
    int m_blockMode = 0;
    QString m_maxValue;
    QString m_minValue;
    QMap<QString, QString> m_ranges;
    QStringList m_inputLabels;
    bool m_parametersTrimmed = false;
    bool m_hasRanges = false;
    int m_portIndex = -1;
    int m_pinIndex = -1;
    QStringList m_portLabels;
    QStringList m_modelNames;

private:
    void applyConferenceRouterRule();
    // Deletes every parameter whose name begins with prefix.
    void dropParameters(const QString &prefix);
    bool hiddenAmplifierOutput() const;
};
