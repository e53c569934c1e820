#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QEventLoop;
class QMessageBox;
#include <QQmlContext>
#include <QQuickItem>

// A message box drawn inside the QML scene. DoModal() shows the QML dialog
// and runs a local event loop until the dialog goes away; the desktop boxes
// serve the receive mode and places without a scene.
class DQmlMessageDialog : public QObject
{
    Q_OBJECT
public:
    static const char *const MessageDialogUrl;
    static const char *const AboutDialogUrl;

    explicit DQmlMessageDialog(QObject *parent = nullptr);
    ~DQmlMessageDialog() override;

    void setSource(const QUrl &source) { m_source = source; }
    void setTitle(const QString &title) { m_title = title; }
    void setText(const QString &text) { m_text = text; }
    void setButtonText(const QString &button) { m_button = button; }
    void setContext(QQmlContext *context) { m_context = context; }

    QQuickItem *item() const { return m_item; }
    bool isShown() const { return !m_item.isNull(); }

    Q_INVOKABLE void showMessageBox(const QString &title, const QString &text);
    Q_INVOKABLE QMessageBox *showReceiveBox(const QString &title, const QString &text);
    // Takes the receive box away without counting it as cancelled.
    void closeReceiveBox();
    QMessageBox *receiveBox() const { return m_messageBox; }

    int DoModal();

signals:
    void closed();
    void receiveModeDialogClosed();

public slots:
    void quit();
    void close();
    void applicationStateChanged(Qt::ApplicationState state);
    void onReceiveModeDialogClosed();

private:
    bool createItem();
    void dismissItem();

    QUrl m_source;
    QString m_title;
    QString m_text;
    QString m_button;
    QPointer<QQmlContext> m_context;
    QPointer<QQuickItem> m_item;
    QMessageBox *m_messageBox = nullptr;
    QEventLoop *m_loop = nullptr;
};
