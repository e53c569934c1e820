#pragma once

#include "CCanvas.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTranslator>

class MModel;
class QAction;
class QApplication;
class QMenu;
class QSettings;
class QSplitter;
class QWidget;
class VQmlFrame;

namespace Ui {
class MainWindow;
}

// The fixed-size desktop frame around the QML scene: menus, tool bar and the
// view of the canvas. Its size always follows the canvas.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static const char *const ApplicationTitle;
    static const char *const TranslationFile;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void setApplication(QApplication *application);

    // "Korvel Remote admin", and with a model " - " and the file name.
    static QString windowTitleFor(const QString &path, bool withModel);
    static QString helpFilePath();

    CCanvas &canvas() { return m_canvas; }
    MModel *model() const { return m_model; }
    VQmlFrame *view() const { return m_view; }
    QString filePath() const { return m_filePath; }
    QSettings *settings() const { return m_settings; }

    QAction *openAction() const { return m_openAction; }
    QAction *exitAction() const { return m_exitAction; }
    QAction *goOnlineAction() const { return m_goOnlineAction; }
    QAction *sendAction() const { return m_sendAction; }
    QAction *aboutAction() const { return m_aboutAction; }
    QAction *helpTopicsAction() const { return m_helpTopicsAction; }

    void resizeToCanvas();
    // What Open does once a file was chosen.
    void openFile(const QString &path);

public slots:
    void resetQMLFocus();
    void openVC();
    void sendVC();
    void exit();
    void toggleConnection();
    void connectionToggled(bool checked);
    void aboutVC();
    void helpTopics();
    void setConnectionEnabled(bool enabled);
    void showWarning(const QString &title, const QString &text);
    // The title follows the file now shown.
    void showDocument(const QString &path);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createCentralArea();
    void createModel();
    void setTitleForPath(const QString &path);
    void setModalActive(bool active);
    void setTransferActive(bool active);
    void updateActions();
    void cancelQmlDialog();
    void endTransfers();
    void goOffline();
    bool isOnline() const;

    Ui::MainWindow *ui = nullptr;
    QApplication *m_application = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_exitAction = nullptr;
    QMenu *m_toolsMenu = nullptr;
    QAction *m_goOnlineAction = nullptr;
    QAction *m_sendAction = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_aboutAction = nullptr;
    QAction *m_helpTopicsAction = nullptr;
    MModel *m_model = nullptr;
    CCanvas m_canvas;
    QString m_filePath;
    QSettings *m_settings = nullptr;
    VQmlFrame *m_view = nullptr;
    QSplitter *m_splitter = nullptr;
    QPointer<QWidget> m_container;
    QTranslator m_translator;
    bool m_connectionEnabled = false;
    bool m_modalActive = false;
    bool m_transferActive = false;
    QElapsedTimer m_startTimer;
};
