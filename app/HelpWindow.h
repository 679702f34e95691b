#pragma once
// The help pages in a window of the program: a text browser over the
// installed HTML help, so help works where no web browser is installed.

#include <QDialog>

class QTextBrowser;

class CHelpWindow : public QDialog {
    Q_OBJECT

public:
    // `page`: the help file to open first.
    explicit CHelpWindow(const QString& page, QWidget* parent = nullptr);

    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
