#include "XSkinHandler.h"

#include <QColor>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <QXmlInputSource>
#include <QXmlSimpleReader>

namespace {
// Stands in for the bridge object: any property set lands as a dynamic one.
QString prop(const QObject &o, const char *name) { return o.property(name).toString(); }
} // namespace

class tst_SkinHandler : public QObject
{
    Q_OBJECT
private slots:
    void theShippedSkinsAndAccentsLoadAndTheirImagesExist()
    {
        const QStringList skins{"Light", "Dark"}, accents{"Black", "Blue", "Green", "Pink", "Red", "White", "Yellow"};
        QCOMPARE(XSkinHandler::skinList(), skins);
        QCOMPARE(XSkinHandler::accentList(), accents);
        const QUrl base(QStringLiteral("qrc:/qml/objects/QmlToolBarObject.qml"));
        for (const QString &name : skins + accents) {
            QObject target;
            QCOMPARE(XSkinHandler::loadSkin(name, &target), name);
            QVERIFY2(!target.dynamicPropertyNames().isEmpty(), qPrintable(name));
            for (const QByteArray &p : target.dynamicPropertyNames()) {
                const QString value = target.property(p.constData()).toString();
                if (value.endsWith(".png")) {
                    const QString resource = QLatin1Char(':') + base.resolved(QUrl(value)).path();
                    QVERIFY2(QFile::exists(resource), qPrintable(name + ": " + p + " -> " + resource));
                } else {
                    QVERIFY2(QColor::isValidColorName(value), qPrintable(name + ": " + p + " = " + value));
                }
            }
        }
    }

    void accentsAndFallBacks()
    {
        // The accent changes only its own properties.
        QObject target;
        QCOMPARE((QStringList{XSkinHandler::loadSkin("Dark", &target), XSkinHandler::loadAccent("Pink", &target),
                              prop(target, "accentColor"), prop(target, "muteOff"), prop(target, "canvasColor"),
                              prop(target, "muteOn")}),
                 (QStringList{"Dark", "Pink", "#E91E63", "../../images/skins/Accent/Pink/mute_on.png", "#464949",
                              "../../images/skins/Dark/mute_off.png"}));
        // An unknown accent keeps the skin and falls back to the default accent; an unknown skin to the light one.
        QObject light;
        QCOMPARE((QStringList{XSkinHandler::loadAccent("Mauve", &target), prop(target, "accentColor"),
                              prop(target, "canvasColor"), XSkinHandler::loadSkin("Sepia", &light),
                              prop(light, "canvasColor")}),
                 (QStringList{"Blue", "#1D98D5", "#464949", "Light", "#FFFFFF"}));
    }

    void intValuesSetNothing()
    {
        QObject target;
        XSkinHandler handler(&target);
        QXmlInputSource source;
        source.setData(QByteArray("<Skin><int><textSize>14</textSize></int>"
                                  "<string><textColor>#010203</textColor></string></Skin>"));
        QXmlSimpleReader reader;
        reader.setContentHandler(&handler);
        reader.setErrorHandler(&handler);
        QVERIFY(reader.parse(&source) && !target.property("textSize").isValid());
        QCOMPARE(prop(target, "textColor"), QStringLiteral("#010203"));
    }
};

QTEST_GUILESS_MAIN(tst_SkinHandler)
#include "tst_skinhandler.moc"
