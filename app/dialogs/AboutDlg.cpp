#include "app/dialogs/AboutDlg.h"

#include "app/EntryIcons.h"
#include "gsmcore/phonebook/MemoryType.h"
#include "support/Format.h"
#include "support/Version.h"
#include "support/TranslationTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("About Tessaly"));
    auto* picture = new QLabel(this);
    picture->setPixmap(EntryIcon(MEMORY_PHONE).pixmap(32, 32));
    auto* name = new QLabel(QStringLiteral("Tessaly"), this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    name->setFont(bold);
    // What this build is, so a bug report can name it.
    m_version = new QLabel(Format(Tr("Version: %s"), QString::fromLatin1(TessalyVersion())), this);
    m_build = new QLabel(Format("%s %s %s", QStringLiteral(__DATE__), QStringLiteral(__TIME__), QStringLiteral("r")),
                         this);
    m_build->setObjectName(QStringLiteral("BuildText"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addWidget(name, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_version);
    layout->addWidget(m_build);
    layout->addWidget(buttons);
}
