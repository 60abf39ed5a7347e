#pragma once
// The top-level window behind a form: title bar and border as the form's look
// says, an optional menu bar, and a client area of the stored size.

#include <QWidget>

class QMenuBar;

namespace forms {
class Form;
}

namespace forms::qt {

class FormWindow : public QWidget
{
public:
    explicit FormWindow(Form &form);

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
    QWidget *m_client;
    QMenuBar *m_menuBar = nullptr;
    bool m_ownerlessTool = false;
};

} // namespace forms::qt
