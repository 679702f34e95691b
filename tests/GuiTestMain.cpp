// The main of every GUI test program: a private environment and a
// QApplication on the offscreen platform, so the tests need no display
// (test discovery runs the program at build time too).

#include "tests/ModalDialogs.h"
#include "tests/TestEnvironment.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

int g_expectedDialogs = 0;

class UnexpectedDialogs : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || g_expectedDialogs > 0)
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isModal())
            return false;
        const auto* box = qobject_cast<QMessageBox*>(dialog);
        ADD_FAILURE() << "a dialog nobody answers: " << dialog->metaObject()->className() << " \""
                      << (box ? box->text() : dialog->windowTitle()).toStdString() << "\"";
        QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
};

}  // namespace

ExpectModalDialogs::ExpectModalDialogs()
{
    ++g_expectedDialogs;
}

ExpectModalDialogs::~ExpectModalDialogs()
{
    --g_expectedDialogs;
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    SetUpTestEnvironment();
    QApplication app(argc, argv);
    UnexpectedDialogs unexpected;
    app.installEventFilter(&unexpected);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
