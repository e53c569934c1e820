#pragma once

// A model driving a desktop scene the way the main window sets them up, for the tests that work the model
// without the window: it opens fixture panels packed with their designs, finds their widgets and clicks
// them; and a watch that answers the application's modal dialogs.

#include "CCanvas.h"
#include "CComposite.h"
#include "MModel.h"
#include "TransferPeers.h"
#include "UArchive.h"
#include "VQmlFrame.h"
#include "widgets/WidgetScene.h"

#include <QtWidgets>

using Replacements = QList<QPair<QByteArray, QByteArray>>;

// The panel file and the design project of a fixture, by their common stem.
inline QStringList panelAndDesign(const QString &stem) { return {stem + ".cpf", stem + ".kvp"}; }

// The files, copied into folder with the replacements made, packed as one archive named after the first;
// its path, or empty when a file could not be read or written.
inline QString packed(const QString &folder, const QStringList &files, const Replacements &replacements = {})
{
    UArchive archive;
    for (const QString &file : files) {
        if (!QFileInfo(file).isReadable())
            return QString();
        QByteArray data = transfertest::readFile(file);
        for (const auto &r : replacements)
            data.replace(r.first, r.second);
        const QString copy = folder + QLatin1Char('/') + QFileInfo(file).fileName();
        if (!transfertest::writeFile(copy, data) || !archive.addFile(copy))
            return QString();
    }
    const QString path = folder + QLatin1Char('/') + QFileInfo(files.value(0)).completeBaseName() + ".cpz";
    return archive.write(path) ? path : QString();
}

// Runs work on the dialog of type T once it is the active modal window; whatever modal window is still open after a
// while is rejected, so a test never hangs on a dialog that came late or not at all. The watch ends with the context.
template <typename T>
void whenModal(QObject *context, std::function<void(T *)> work)
{
    auto *poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, work, deadline = QDeadlineTimer(10000)] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<T *>(modal);
        if (!dialog && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (dialog)
            work(dialog);
        else if (auto *late = qobject_cast<QDialog *>(modal))
            late->reject();
    });
    poll->start(20);
}

// The distinct colours of an image, coarsely, to tell a drawn picture from a blank one.
inline int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y) & 0xF0F0F0F0);
    return int(colours.size());
}

// The first W of the model's shown panel's control of that name, bound to the node labelled block (any node
// when block is empty).
template <typename W>
W *panelWidget(const MModel *model, const QString &control, const QString &block = QString())
{
    for (CControl *c : model->currentPanel()->children()) {
        W *w = widgettest::widgetOf<W>(c);
        if (w && c->name() == control && (block.isEmpty() || (c->node() && c->node()->label() == block)))
            return w;
    }
    return nullptr;
}

struct ModelScene
{
    VQmlFrame *view = nullptr;
    CCanvas canvas;
    MModel *model = nullptr;
    QTemporaryDir archives;

    bool setUp()
    {
        QStandardPaths::setTestModeEnabled(true);
        view = new VQmlFrame;
        if (!view->registerTypesAndSetup() || !canvas.loadDesktop(view))
            return false;
        model = new MModel;
        model->setCanvas(&canvas);
        model->setQmlView(view);
        model->initialize();
        return true;
    }
    bool show(const QSize &size = QSize())
    {
        view->resize(size.isValid() ? size : QSize(canvas.width(), canvas.height()));
        view->show();
        return QTest::qWaitForWindowExposed(view);
    }
    bool openPacked(const QStringList &files, const Replacements &replacements = {})
    {
        const QString archive = packed(archives.path(), files, replacements);
        return !archive.isEmpty() && model->openFile(archive);
    }
    template <typename W>
    W *widget(const QString &control, const QString &block = {}) const { return panelWidget<W>(model, control, block); }
    // A real mouse click at the middle of an item, once it is laid out.
    void click(const QQuickItem *item)
    {
        view->grabWindow();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, widgettest::centreOf(item));
    }
    // With KVR_SCREENSHOT_DIR set, the picture is left there under name.
    static void keep(const QImage &image, const QString &name)
    {
        const QString folder = qEnvironmentVariable("KVR_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(image.save(folder + QLatin1Char('/') + name));
    }
    // The model points into the view's items, so it goes first.
    ~ModelScene()
    {
        delete model;
        delete view;
    }
};
