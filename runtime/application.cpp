#include "runtime/application.h"
#include "runtime/accessibility.h"
#include "runtime/basic.h"
#include "runtime/formwindow.h"
#include "runtime/widgets.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QStyleFactory>
#include <QTimer>

#include <algorithm>

namespace forms {

// Key preview: character keys reach a form before its controls. Only the
// first delivery of a key counts, not its way up through the parents.
class KeyPreviewFilter : public QObject
{
public:
    using QObject::QObject;

    void forgetHeldKey()
    {
        m_spentKey = 0;
        m_releasedAt = 0;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (dropsRepeat(event))
            return true;
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        QWidget *focus = QApplication::focusWidget();
        const bool first = widget == focus || (widget->isWindow() && (!focus || focus->window() != widget));
        if (!first || qobject_cast<QMenuBar *>(widget))
            return false;
        Form *form = FormWindow::formOf(widget->window());
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (!form || text.isEmpty() || Application::instance().busy())
            return false;
        bool swallowed = false;
        bool closed = false;
        const int keyAscii = text.at(0).unicode();
        Application::instance().raise(widget->window(), [form, keyAscii, &swallowed, &closed] {
            swallowed = form->keyPress(keyAscii);
            closed = !form->isLoaded();
        });
        if (closed) {
            m_spentKey = key->key();
            m_releasedAt = 0;
        }
        return swallowed;
    }

private:
    // A key that closed its form has done its work: while it is still held,
    // its repeats must not act in the window that takes the form's place
    // (Enter held to skip the splash would shoot). Releasing the key and
    // pressing it again ends that.
    bool dropsRepeat(QEvent *event)
    {
        const QEvent::Type type = event->type();
        if (!m_spentKey || (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease))
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != m_spentKey)
            return false;
        if (type == QEvent::KeyRelease) {
            if (!key->isAutoRepeat())
                m_releasedAt = key->timestamp();
            return false;
        }
        // An X server repeats a held key as a release and a press with the
        // same time, which Qt flags as a repeat only when both have arrived.
        const bool repeat = key->isAutoRepeat() || (m_releasedAt != 0 && key->timestamp() == m_releasedAt);
        if (!repeat) {
            forgetHeldKey();
            return false;
        }
        // An accepted override keeps the key from the window's shortcuts.
        event->accept();
        return true;
    }

    int m_spentKey = 0;
    quint64 m_releasedAt = 0; // time of the key's last release, if any
};

namespace {

void applyClassicLook(QApplication &app)
{
    // One fixed classic look, whatever the desktop's theme.
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Windows")))
        app.setStyle(style);
    else if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    QPalette palette;
    const QColor face(0xD4D0C8);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, face);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, face);
    palette.setColor(QPalette::Mid, QColor(0x808080));
    palette.setColor(QPalette::Dark, QColor(0x808080));
    palette.setColor(QPalette::Shadow, QColor(0x404040));
    palette.setColor(QPalette::Highlight, QColor(0x0A246A));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0xFFFFE1));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x808080));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x808080));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x808080));
    app.setPalette(palette);
    app.setFont(toQFont(Font {}));
}

} // namespace

struct Application::Deferred
{
    QPointer<QObject> source;
    bool hasSource;
    Handler handler;
    const void *key;
};

const AppInfo &App()
{
    static const AppInfo info {KORVO_VERSION_MAJOR, KORVO_VERSION_MINOR, KORVO_VERSION_PATCH, "Korvo"};
    return info;
}

void MsgBox(const std::string &text)
{
    Application::instance().messageBox(text);
}

void End()
{
    Application::instance().end(0);
}

Application &Application::instance()
{
    static Application application;
    return application;
}

Application::Application()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    Q_ASSERT_X(app, "forms::Application", "create the QApplication first");
    if (!app)
        return;
    app->setQuitOnLastWindowClosed(false); // forms, not windows, decide
    applyClassicLook(*app);
    installAccessibility();
    m_keys = new KeyPreviewFilter(app);
    app->installEventFilter(m_keys);
    // Windows must go before the QApplication does.
    qAddPostRoutine([] { Application::instance().reset(); });
}

void Application::raise(QObject *source, Handler handler, const void *key)
{
    if (m_ended || !handler)
        return;
    if (m_depth > 0) {
        if (key && std::any_of(m_deferred.begin(), m_deferred.end(), [key](const auto &d) { return d->key == key; }))
            return;
        m_deferred.push_back(std::make_unique<Deferred>(Deferred {source, source != nullptr, std::move(handler), key}));
        return;
    }
    ++m_depth;
    try {
        handler();
    } catch (const RuntimeError &error) {
        report("Error '" + std::to_string(error.number()) + "' en tiempo de ejecución:\n\n" + error.what());
    } catch (const std::exception &error) {
        report(std::string("Error en tiempo de ejecución:\n\n") + error.what());
    } catch (...) {
        report("Error en tiempo de ejecución.");
    }
    --m_depth;
    if (m_depth == 0)
        handlersDone();
}

void Application::handlersDone()
{
    drain();
    collectGarbage();
    if (m_endCheckWanted)
        scheduleEndCheck();
}

void Application::drain()
{
    while (m_depth == 0 && !m_ended && !m_deferred.empty()) {
        std::unique_ptr<Deferred> next = std::move(m_deferred.front());
        m_deferred.erase(m_deferred.begin());
        if (next->hasSource && !next->source)
            continue; // its control is gone
        raise(next->source, std::move(next->handler), next->key);
    }
}

void Application::report(const std::string &message)
{
    try {
        messageBox(message);
    } catch (...) {
        // The report must not fail the report.
    }
    end(1);
}

int Application::run(const Handler &startup)
{
    raise(nullptr, startup);
    if (!m_ended && m_loaded.empty())
        end(0);
    if (!m_ended) {
        m_running = true;
        const int code = QApplication::exec();
        m_running = false;
        if (!m_ended)
            m_exitCode = code;
    }
    reset();
    return m_exitCode;
}

void Application::end(int exitCode)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exitCode = exitCode;
    m_deferred.clear();
    while (!m_loaded.empty())
        unload(*m_loaded.back().form);
    if (m_running)
        QCoreApplication::exit(exitCode);
}

std::vector<Form *> Application::loadedForms() const
{
    std::vector<Form *> forms;
    for (const auto &loaded : m_loaded)
        forms.push_back(loaded.form.get());
    return forms;
}

void Application::messageBox(const std::string &text)
{
    // The box is a handler's wait: nothing else runs until it is answered.
    struct Busy
    {
        Application &app;
        explicit Busy(Application &a) : app(a) { ++app.m_depth; }
        ~Busy()
        {
            if (--app.m_depth == 0 && (!app.m_deferred.empty() || app.m_endCheckWanted))
                QTimer::singleShot(0, qApp, [] {
                    Application &app = Application::instance();
                    if (app.m_depth == 0)
                        app.handlersDone();
                });
        }
    } busy(*this);

    const std::string &title = App().Title;
    if (m_messageBoxHook) {
        m_messageBoxHook(title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromUtf8(text.c_str()),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

void Application::adopt(std::unique_ptr<Form> form, std::function<void()> forget)
{
    Form *created = form.get();
    m_loaded.push_back({std::move(form), std::move(forget)});
    created->load();
}

void Application::unload(Form &form)
{
    auto found = std::find_if(m_loaded.begin(), m_loaded.end(),
                              [&form](const Loaded &loaded) { return loaded.form.get() == &form; });
    if (found == m_loaded.end())
        return;
    Loaded loaded = std::move(*found);
    m_loaded.erase(found);
    loaded.forget();
    loaded.form->release();
    // The form may be unloading itself from one of its own handlers: the
    // object goes once no handler runs.
    m_unloaded.push_back(std::move(loaded.form));
    scheduleEndCheck();
}

void Application::scheduleEndCheck()
{
    m_endCheckWanted = true;
    // While a handler runs (perhaps waiting in a message box for as long as
    // the player likes) the check waits for it to return instead of polling.
    if (m_endCheckPosted || m_depth > 0 || !qApp)
        return;
    m_endCheckPosted = true;
    QTimer::singleShot(0, qApp, [generation = m_generation] {
        Application &app = Application::instance();
        if (generation != app.m_generation)
            return;
        app.m_endCheckPosted = false;
        if (app.m_depth > 0)
            return; // handlersDone() posts it again
        app.m_endCheckWanted = false;
        app.collectGarbage();
        // The program runs while a form is loaded.
        if (app.m_loaded.empty() && !app.m_ended)
            app.end(0);
    });
}

void Application::collectGarbage()
{
    if (m_depth == 0)
        m_unloaded.clear();
}

void Application::reset()
{
    ++m_depth; // no handler runs while everything goes
    m_deferred.clear();
    while (!m_loaded.empty())
        unload(*m_loaded.back().form);
    --m_depth;
    if (m_keys)
        m_keys->forgetHeldKey();
    m_unloaded.clear();
    ++m_generation;
    m_endCheckWanted = false;
    m_endCheckPosted = false;
    m_ended = false;
    m_exitCode = 0;
    m_messageBoxHook = nullptr;
}

} // namespace forms
