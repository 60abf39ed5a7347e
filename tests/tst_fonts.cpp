// The game on a machine without the fonts it asks for. KORVO_TEST_FONTS says
// which machine: "one" has a single face that neither the layouts nor their
// lookalikes name, "none" has no face at all. The font folder is made before
// the application starts, since fontconfig reads its configuration once.

#include "runtime/qt/native.h"
#include "fixture.h"
#include "runtime/application.h"
#include "game/form1.h"
#include "screens/frmabout.h"
#include "game/frmsplash.h"

#include <QtTest>
#include <QAbstractButton>
#include <QDirIterator>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>

using namespace forms;

namespace {

const QString FallbackFace = QStringLiteral("DejaVu Serif");

QString findSystemFont(const QString &fileName)
{
    QDirIterator it(QStringLiteral("/usr/share/fonts"), {fileName}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

// Points fontconfig at a folder of our own, with one face or none.
bool useFontFolder(const QTemporaryDir &root, bool oneFace)
{
    const QString fonts = root.filePath(QStringLiteral("fonts"));
    if (!QDir().mkpath(fonts))
        return false;
    if (oneFace) {
        const QString face = findSystemFont(QStringLiteral("DejaVuSerif.ttf"));
        if (face.isEmpty() || !QFile::copy(face, fonts + QStringLiteral("/DejaVuSerif.ttf")))
            return false;
    }
    QFile conf(root.filePath(QStringLiteral("fonts.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return false;
    conf.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                              "<fontconfig><dir>%1</dir><cachedir>%2</cachedir></fontconfig>\n")
                   .arg(fonts, root.filePath(QStringLiteral("cache")))
                   .toUtf8());
    conf.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(conf.fileName()));
    return true;
}

// Answers the next real message box with Enter once it is up, looking at it
// first so its text is laid out and drawn.
void answerNextBox(QStringList &texts)
{
    QTimer::singleShot(10, qApp, [&texts] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return answerNextBox(texts);
        texts << box->text();
        box->grab();
        QTest::keyClick(box, Qt::Key_Return);
    });
}

} // namespace

class TestFonts : public QObject
{
    Q_OBJECT

public:
    explicit TestFonts(bool oneFace) : m_oneFace(oneFace) { }

private slots:
    void init() { startTest(); }
    void cleanup() { QVERIFY(nothingLeftBehind()); }

    void machineHasTheFontsWeSetUp();
    void everyTextFallsBackToTheOneFace();
    void gameStartsAndPlays();

private:
    bool m_oneFace;
};

void TestFonts::machineHasTheFontsWeSetUp()
{
    // Qt names fontconfig's three generic families whether or not a face
    // stands behind them.
    QStringList faces = QFontDatabase::families();
    faces.removeIf([](const QString &family) {
        return family == QLatin1String("Monospace") || family == QLatin1String("Sans Serif")
               || family == QLatin1String("Serif");
    });
    QCOMPARE(faces, m_oneFace ? QStringList {FallbackFace} : QStringList {});
}

void TestFonts::everyTextFallsBackToTheOneFace()
{
    if (!m_oneFace)
        QSKIP("with no face at all there is nothing to draw text with");
    std::vector<Form *> forms {&instance<frmSplash>(), &instance<Form1>(), &instance<frmAbout>()};
    int texts = 0;
    const auto check = [&texts](const QFont &font, QString text, const QString &where) {
        text.remove(QLatin1Char('&'));
        if (text.isEmpty())
            return;
        ++texts;
        QCOMPARE(QFontInfo(font).family(), FallbackFace);
        const QFontMetrics metrics(font);
        for (const char32_t c : text.toUcs4())
            QVERIFY2(metrics.inFontUcs4(c), qPrintable(QStringLiteral("%1: %2").arg(where, text)));
    };
    for (Form *form : forms) {
        form->Show();
        for (QWidget *widget : qt::window(*form)->findChildren<QWidget *>()) {
            const QString where = widget->objectName();
            if (auto *label = qobject_cast<QLabel *>(widget))
                check(label->font(), label->text(), where);
            else if (auto *button = qobject_cast<QAbstractButton *>(widget))
                check(button->font(), button->text(), where);
            else if (auto *frame = qobject_cast<QGroupBox *>(widget))
                check(frame->font(), frame->title(), where);
            else if (auto *bar = qobject_cast<QMenuBar *>(widget)) {
                // The bar's own titles, not its overflow menu, which holds
                // copies of them until the bar is laid out.
                for (QAction *title : bar->actions()) {
                    check(bar->font(), title->text(), title->menu()->objectName());
                    for (QAction *item : title->menu()->actions())
                        check(title->menu()->font(), item->text(), item->objectName());
                }
            }
            if (QTest::currentTestFailed())
                return;
        }
    }
    // Every label, button, frame and menu of the three windows that has text.
    QVERIFY2(texts >= 24, qPrintable(QString::number(texts)));
}

void TestFonts::gameStartsAndPlays()
{
    Application &app = Application::instance();
    frmSplash &splash = instance<frmSplash>();
    splash.Show();
    QVERIFY(activate(qt::window(splash)));
    QVERIFY(!qt::window(splash)->grab().isNull());
    splash.Timer1_Timer();

    QVERIFY(isLoaded<Form1>());
    Form1 &game = *loadedInstance<Form1>();
    QVERIFY(activate(qt::window(game)));
    QStringList boxes;
    QTest::keyClick(qt::window(game), Qt::Key_Return);
    game.Timer2_Timer();
    answerNextBox(boxes);
    QTest::keyClick(qt::window(game), Qt::Key_Return);
    QCOMPARE(boxes, QStringList {QStringLiteral("Erraste")});
    QCOMPARE(QString::fromStdString(game.lblIntentos.caption()), QStringLiteral("1"));
    QVERIFY(!qt::window(game)->grab().isNull());

    QVERIFY(activate(qt::window(game)));
    QTest::keyClick(qt::window(game), Qt::Key_F1);
    QVERIFY(isLoaded<frmAbout>());
    frmAbout &about = *loadedInstance<frmAbout>();
    QVERIFY(activate(qt::window(about)));
    QVERIFY(!qt::window(about)->grab().isNull());
    QTest::keyClick(qt::window(about), Qt::Key_Escape);
    QVERIFY(!isLoaded<frmAbout>());

    QVERIFY(activate(qt::window(game)));
    QTest::keyClick(qt::window(game), Qt::Key_F4);
    QVERIFY(app.hasEnded());
    QCOMPARE(app.exitCode(), 0);
}

int main(int argc, char *argv[])
{
    const bool oneFace = qgetenv("KORVO_TEST_FONTS") == "one";
    QTemporaryDir root;
    if (!root.isValid() || !useFontFolder(root, oneFace)) {
        std::fprintf(stderr, "could not set up the font folder%s\n",
                     oneFace ? " (is fonts-dejavu-core installed?)" : "");
        return 1;
    }
    QApplication app(argc, argv);
    TestFonts test(oneFace);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fonts.moc"
