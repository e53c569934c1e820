#include "WDropList.h"

#include "HNode.h"
#include "KvrLogging.h"
#include "TTransform.h"
#include "WDelegate.h"
#include "XmlWriter.h"

#include <QQmlEngine>
#include <QQuickItem>

namespace {
const QString TitleKey = QStringLiteral("title");
const QString HasBorderKey = QStringLiteral("hasBorder");
const QString AlignKey = QStringLiteral("align");
const QString Index1ForQueryKey = QStringLiteral("index1ForQuery");
const QString AutoResetKey = QStringLiteral("autoReset");
const QString SetListTitle = QStringLiteral("PSetList");

int alignmentFor(const QString &word)
{
    if (word.trimmed().compare(QLatin1String("center"), Qt::CaseInsensitive) == 0)
        return Qt::AlignHCenter;
    if (word.trimmed().compare(QLatin1String("right"), Qt::CaseInsensitive) == 0)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

QString alignmentWord(int alignment)
{
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("Center");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("Right");
    return QStringLiteral("Left");
}
} // namespace

WDropList::WDropList(QQuickItem *parent) : WWidget(parent), m_holdOff(HoldOffMs)
{
    connect(&m_holdOff, &WHoldOff::reportDue, this, &WDropList::refresh);
}

WDropList::~WDropList()
{
    closePopup();
}

// --- entries -------------------------------------------------------------------------

const WListEntries &WDropList::entries() const
{
    if (m_entriesDue) {
        m_entries.build(node(), WDelegate::instance()->path());
        m_entriesDue = false;
    }
    return m_entries;
}

void WDropList::changed()
{
    m_entriesDue = true;
}

QStringList WDropList::texts() const
{
    return entries().texts();
}

QList<int> WDropList::values() const
{
    return entries().values();
}

int WDropList::mode() const
{
    return entries().mode();
}

bool WDropList::isSetList() const
{
    return node() && node()->title() == SetListTitle;
}

bool WDropList::countsFromOne() const
{
    return isSetList() && mode() == WListEntries::ParameterSetList;
}

QString WDropList::title() const
{
    QString text = m_title;
    if (node())
        text.replace(QLatin1String("*LABEL*"), node()->label()).replace(QLatin1String("*TITLE*"), node()->title());
    return text;
}

// --- panel file ------------------------------------------------------------------------

bool WDropList::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value) || processIdAndLink(name, value) || processFractions(name, value))
        return true;
    if (name == TitleKey) {
        m_title = value;
        emit titleChanged();
    } else if (WListEntries::isSourceKey(name)) {
        m_entries.addSource(name, value);
        changed();
    } else if (name == WListEntries::IndexKey) {
        m_entries.setIndexText(value);
        changed();
    } else if (name == HasBorderKey) {
        bool ok = false;
        const int border = value.trimmed().toInt(&ok, 10);
        setItemProperty("hasBorder", ok ? border : 0);
    } else if (name == AlignKey) {
        setItemProperty("horizontalAlignment", alignmentFor(value));
    } else if (name == Index1ForQueryKey) {
        m_index1ForQuery = value.trimmed();
    } else if (name == AutoResetKey) {
        m_autoReset = value;
        m_hasAutoReset = true;
    } else {
        return false;
    }
    return true;
}

bool WDropList::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(TitleKey, m_title);
    for (const WListEntries::Source &source : m_entries.sources())
        writer.writeElement(source.element, source.text);
    if (entries().count() > 0 || m_entries.hasIndex())
        writer.writeElement(WListEntries::IndexKey, entries().indexText());
    writer.writeElement(HasBorderKey, itemProperty("hasBorder").toInt());
    writer.writeElement(AlignKey, alignmentWord(itemProperty("horizontalAlignment").toInt()));
    if (!m_index1ForQuery.isEmpty())
        writer.writeElement(Index1ForQueryKey, m_index1ForQuery);
    if (m_hasAutoReset)
        writer.writeElement(AutoResetKey, m_autoReset);
    return true;
}

// --- binding ------------------------------------------------------------------------------

void WDropList::setNode(HNode *node)
{
    WWidget::setNode(node);
    changed();
    emit titleChanged();
}

void WDropList::setAttributes(const CAttributes &)
{
    if (transform() && mode() >= WListEntries::NodeList)
        transform()->setIndexes(2, 0, 0);
}

void WDropList::setTransform(TTransform *transform)
{
    WWidget::setTransform(transform);
    if (transform)
        connect(transform, &TTransform::replyValueReady, this, &WWidget::refresh, Qt::UniqueConnection);
}

void WDropList::destroy()
{
    closePopup();
    WWidget::destroy();
}

// --- choosing -------------------------------------------------------------------------------

void WDropList::show(int index)
{
    const QStringList &shown = entries().texts();
    setItemProperty("currentIndex", index);
    setItemProperty("currentText", index >= 0 && index < shown.size() ? shown.at(index) : QString());
}

void WDropList::outputCurrentIndex(int index)
{
    // A parameter-set list recalls its set again when it is chosen again.
    if (index == m_currentIndex && !isSetList())
        return;
    if (index < 0 || index >= entries().count() || !mayOutput())
        return;
    transform()->setValue(countsFromOne() ? index + 1 : entries().values().at(index));
    if (sendHeld(m_holdOff)) {
        m_currentIndex = index;
        show(index);
    } else {
        // Not sent: the list shows what the device still has.
        show(m_currentIndex);
    }
}

void WDropList::popupList(QObject *popup)
{
    closePopup();
    if (!popup)
        return;
    m_popup = popup;
    // The list is deleted here, never by the script engine.
    QQmlEngine::setObjectOwnership(popup, QQmlEngine::CppOwnership);
    popup->setProperty("anchorItem", QVariant::fromValue<QObject *>(item()));
    popup->setProperty("title", title());
    popup->setProperty("model", entries().texts());
    popup->setProperty("index", m_currentIndex);
    connect(popup, SIGNAL(listClick(int)), this, SLOT(listSelect(int)));
    // Closed without a choice (a press outside, Escape): the list goes.
    connect(popup, SIGNAL(closed()), this, SLOT(onPopupClosed()));
}

void WDropList::onPopupClosed()
{
    closePopup();
}

void WDropList::listSelect(int index)
{
    if (index >= 0)
        outputCurrentIndex(index);
    closePopup();
}

void WDropList::closePopup()
{
    if (!m_popup)
        return;
    QObject *popup = m_popup;
    m_popup = nullptr;
    disconnect(popup, nullptr, this, nullptr);
    popup->deleteLater();
}

// --- device reports ----------------------------------------------------------------------------

void WDropList::refresh()
{
    if (!item() || !transform() || m_holdOff.defer())
        return;
    int reported = 0;
    transform()->replyValue(reported);
    const int index = countsFromOne() ? reported - 1 : int(entries().values().indexOf(reported));
    m_currentIndex = index >= 0 && index < entries().count() ? index : -1;
    m_outputEnabled = false;
    show(m_currentIndex);
    m_outputEnabled = true;
}
