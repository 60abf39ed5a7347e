#include "runtime/qt/formwindow.h"
#include "runtime/form.h"
#include "runtime/qt/look.h"
#include "runtime/qt/picture.h"
#include "runtime/qt/toolwindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

namespace forms::qt {

namespace {

Qt::WindowFlags flagsFor(const WindowLook &look)
{
    if (!look.titleBar)
        return Qt::Window | Qt::FramelessWindowHint; // any border is ours to draw
    Qt::WindowFlags flags = look.toolTitle ? Qt::Tool : look.dialogFrame ? Qt::Dialog : Qt::Window;
    flags |= Qt::WindowTitleHint;
    if (look.closeBox)
        flags |= look.toolTitle ? Qt::WindowCloseButtonHint : Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (look.minMaxBoxes)
        flags |= Qt::WindowMinMaxButtonsHint;
    return flags;
}

} // namespace

// The look is known before anything about the window can reach a screen
// reader, which keeps the role it first learns.
FormWindow::FormWindow(Form &form) : QWidget(nullptr), m_form(form)
{
    const FormLayout &layout = form.storedLayout();
    const WindowLook &look = form.look();
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(layout.caption));
    // A window without a title still needs a name for a screen reader.
    if (layout.caption.empty())
        setAccessibleName(QGuiApplication::applicationDisplayName());
    if (!layout.icon.empty())
        setWindowIcon(iconFromPictures(layout.icon));

    Qt::WindowFlags flags = flagsFor(look);
    if (!look.inTaskbar && (flags & Qt::WindowType_Mask) != Qt::Tool)
        flags |= Qt::Tool; // tool windows stay out of the task bar
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    // Forms have no owner. A tool window with a title bar must not stay in
    // front of the program's other windows; the splash is gone before any
    // could come in front of it.
    m_ownerlessTool = (flags & Qt::WindowType_Mask) == Qt::Tool && look.role != WindowLook::Role::Bare;

    auto *box = new QVBoxLayout(this);
    const int border = look.raisedBorder ? 3 : 0;
    box->setContentsMargins(border, border, border, border);
    box->setSpacing(0);
    box->setSizeConstraint(QLayout::SetFixedSize); // the size cannot be dragged

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(form.pixels(layout.clientWidth), form.pixels(layout.clientHeight));
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
    // The form decides; the window goes with it.
    event->ignore();
    m_form.closeBox();
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
    if (!m_form.look().raisedBorder)
        return;
    // A raised dialog border, three pixels wide.
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(colors::ButtonFace));
    drawEdge(painter, rect(), Edge::Raised);
}

} // namespace forms::qt
