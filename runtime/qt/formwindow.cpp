#include "runtime/qt/formwindow.h"
#include "runtime/dispatcher.h"
#include "runtime/form.h"
#include "runtime/qt/look.h"
#include "runtime/qt/picture.h"
#include "runtime/qt/toolwindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

namespace forms {

namespace {

// No caption and no control box: no title bar at all, only the window's own
// border.
bool withoutTitleBar(const FormLayout &layout)
{
    return layout.caption.empty() && !layout.controlBox && layout.borderStyle != BorderStyle::Sizable;
}

FormWindow::Kind kindOf(const FormLayout &layout)
{
    if (layout.borderStyle == BorderStyle::None || withoutTitleBar(layout))
        return FormWindow::Kind::Bare;
    if (layout.borderStyle == BorderStyle::FixedDialog || layout.borderStyle == BorderStyle::FixedToolWindow)
        return FormWindow::Kind::Dialog;
    return FormWindow::Kind::Frame;
}

} // namespace

// The kind is known before anything about the window can reach a screen
// reader, which keeps the role it first learns.
FormWindow::FormWindow(Form &form, const FormLayout &layout) : QWidget(nullptr), m_form(form), m_kind(kindOf(layout))
{
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(layout.caption));
    // A window without a title still needs a name for a screen reader.
    if (layout.caption.empty())
        setAccessibleName(QGuiApplication::applicationDisplayName());
    if (!layout.icon.empty())
        setWindowIcon(iconFromPictures(layout.icon));

    Qt::WindowFlags flags = Qt::Window;
    switch (layout.borderStyle) {
    case BorderStyle::None:
        flags = Qt::Window | Qt::FramelessWindowHint;
        break;
    case BorderStyle::FixedSingle:
    case BorderStyle::Sizable:
        flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                | Qt::WindowCloseButtonHint;
        break;
    case BorderStyle::FixedDialog:
        flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        break;
    case BorderStyle::FixedToolWindow:
        flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    }
    if (withoutTitleBar(layout)) {
        // Only the window's own border, which we draw.
        flags = Qt::Window | Qt::FramelessWindowHint;
        m_dialogFrame = layout.borderStyle != BorderStyle::None;
    }
    if (!layout.showInTaskbar && (flags & Qt::WindowType_Mask) != Qt::Tool)
        flags |= Qt::Tool; // tool windows stay out of the task bar
    flags |= Qt::CustomizeWindowHint;
    setWindowFlags(flags);
    // Forms have no owner. A tool window with a title bar must not stay in
    // front of the program's other windows; the splash is gone before any
    // could come in front of it.
    m_ownerlessTool = (flags & Qt::WindowType_Mask) == Qt::Tool && m_kind != Kind::Bare;

    auto *box = new QVBoxLayout(this);
    const int frame = m_dialogFrame ? 3 : 0;
    box->setContentsMargins(frame, frame, frame, frame);
    box->setSpacing(0);
    box->setSizeConstraint(QLayout::SetFixedSize); // the size cannot be dragged

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(toPixels(layout.clientWidth), toPixels(layout.clientHeight));
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, toQColor(layout.backColor));
    m_client->setPalette(palette);
    m_client->setAutoFillBackground(true);
    box->addWidget(m_client);
}

QMenuBar *FormWindow::menuBar()
{
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        m_menuBar->setNativeMenuBar(false);
        static_cast<QVBoxLayout *>(layout())->setMenuBar(m_menuBar);
    }
    return m_menuBar;
}

Form *FormWindow::formOf(const QWidget *window)
{
    const auto *formWindow = dynamic_cast<const FormWindow *>(window);
    return formWindow ? &formWindow->m_form : nullptr;
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    // The close box unloads the form; the window itself goes with the form.
    event->ignore();
    Form *form = &m_form;
    if (form->isLoaded())
        Dispatcher::instance().dispatch(form, [form] { Unload(*form); });
}

void FormWindow::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped.
    if (m_ownerlessTool)
        prepareOwnerlessToolWindow(this);
    QWidget::showEvent(event);
}

void FormWindow::paintEvent(QPaintEvent *)
{
    if (!m_dialogFrame)
        return;
    // A raised dialog border, three pixels wide.
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(colors::ButtonFace));
    drawEdge(painter, rect(), Edge::Raised);
}

} // namespace forms
