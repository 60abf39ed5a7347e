// The event loop and what the runtime asks of it on Qt: posted calls and the
// modal message box.

#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/qt/accessibility.h"
#include "runtime/qt/keypreview.h"
#include "runtime/qt/look.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace forms::backend {

void prepare()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    Q_ASSERT_X(app, "forms::Application", "create the QApplication first");
    if (!app)
        return;
    app->setQuitOnLastWindowClosed(false); // forms, not windows, decide
    qt::applyClassicLook(*app);
    qt::installAccessibility();
    qt::installKeyPreview(*app);
    // Windows must go before the QApplication does.
    qAddPostRoutine([] { Application::instance().reset(); });
}

int exec()
{
    return QApplication::exec();
}

void quit(int exitCode)
{
    QCoreApplication::exit(exitCode);
}

void post(std::function<void()> call)
{
    if (qApp)
        QTimer::singleShot(0, qApp, std::move(call));
}

void messageBox(const std::string &title, const std::string &text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromUtf8(text.c_str()),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

} // namespace forms::backend
