// The program's real message boxes stay on the screen, buttons included, however long their
// text: what does not fit is left out of the middle and the whole text is in the details.
#include "app/ErrorBox.h"
#include "app/ZemloApplication.h"
#include "platform/os/Desktop.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void boxFitsTheScreen_data();
    void boxFitsTheScreen();
};

namespace {

struct SeenBox {
    QRect frame;
    QRect button;
    QString text;
    QString details;
    bool selectable = false;
};

// Looks at the box once it is up, then answers it with OK or Yes.
SeenBox Answered(const std::function<void()>& show)
{
    SeenBox seen;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        look.stop();
        QAbstractButton* button = box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok) : box->button(QMessageBox::Yes);
        seen = {box->frameGeometry(), QRect(button->mapToGlobal(QPoint(0, 0)), button->size()), box->text(),
                box->detailedText(), box->textInteractionFlags().testFlag(Qt::TextSelectableByMouse)};
        button->click();
    });
    look.start();
    show();
    return seen;
}

} // namespace

void MessageBoxTest::boxFitsTheScreen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("question");
    QTest::addColumn<bool>("whole"); // shown as it is, without details

    const QString longName = QStringLiteral("Ciśnienie ") + QString(10000, QLatin1Char('X'));
    QStringList manyLines;
    for (int i = 0; i < 400; ++i)
        manyLines.append(QStringLiteral("W tabeli ZEMLO_DATA brakuje kolumny K%1.").arg(i));
    QTest::newRow("short message") << QStringLiteral("Dane zostały zapisane.") << false << true;
    QTest::newRow("10,000-character channel name") << "Kolumna '" + longName + "' ma wartość NULL" << false << false;
    QTest::newRow("400 lines") << manyLines.join('\n') << false << false;
    QTest::newRow("question with a long path") << "Czy otworzyć " + QString(10000, QLatin1Char('/')) + "?" << true << false;
}

void MessageBoxTest::boxFitsTheScreen()
{
    QFETCH(QString, text);
    QFETCH(bool, question);
    QFETCH(bool, whole);
    const SeenBox seen = Answered([&] {
        if (question)
            os::Desktop::current().askYesNo(QStringLiteral("ZEMLO Viewer"), text);
        else
            app::ShowErrorBox(text);
    });
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(seen.frame), qPrintable(QStringLiteral("%1 x %2").arg(seen.frame.width()).arg(seen.frame.height())));
    QVERIFY(screen.contains(seen.button));
    QVERIFY(seen.selectable);
    if (whole) {
        QCOMPARE(seen.text, text);
        QVERIFY(seen.details.isEmpty());
    } else {
        // The start and the end of the text are shown; all of it in the details.
        QVERIFY(seen.text.contains(QStringLiteral("…")));
        QVERIFY(seen.text.startsWith(text.left(8)));
        QVERIFY(seen.text.endsWith(text.right(4)));
        QCOMPARE(seen.details, text);
    }
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    application.applyLookAndLanguage();
    MessageBoxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_message_box.moc"
