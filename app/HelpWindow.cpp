#include "app/HelpWindow.h"

#include "support/TranslationTable.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(const QString& page, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(Tr("Tessaly Help"));
    // A window of its own beside the main one, not a modal box.
    setWindowFlag(Qt::Window);
    setModal(false);
    m_browser = new QTextBrowser(this);
    // Pages of the help open here; a web address goes to the desktop's
    // browser when there is one.
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(QUrl::fromLocalFile(page));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(640, 560);
}
