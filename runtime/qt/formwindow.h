#pragma once
// The top-level window behind a form: title bar and border as the layout asks,
// an optional menu bar, and a client area of the stored size.

#include <QWidget>

class QMenuBar;

namespace forms {

class Form;
struct FormLayout;

class FormWindow : public QWidget
{
public:
    FormWindow(Form &form, const FormLayout &layout);

    // What the window is to the desktop and to a screen reader: a main
    // window, a dialog, or a bare panel without a title bar.
    enum class Kind { Frame, Dialog, Bare };
    Kind kind() const { return m_kind; }

    Form &form() const { return m_form; }
    QWidget *client() const { return m_client; }
    QMenuBar *menuBar();

    // The form behind a top-level widget, or nullptr.
    static Form *formOf(const QWidget *window);

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Form &m_form;
    Kind m_kind;
    QWidget *m_client;
    QMenuBar *m_menuBar = nullptr;
    bool m_dialogFrame = false;
    bool m_ownerlessTool = false;
};

} // namespace forms
