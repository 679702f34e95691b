#pragma once
// "About Tessaly": the program's picture, its name, version and build.

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* VersionLabel() const { return m_version; }
    QLabel* BuildLabel() const { return m_build; }

private:
    QLabel* m_version;
    QLabel* m_build;
};
