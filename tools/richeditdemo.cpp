// richeditdemo: one window holding an editor control that offers every item of its
// context menu, so that the editor window can be tried by hand: press F2, or right-click
// and choose Edit.
//
//   richeditdemo [FILE]
//
// FILE, when given, is loaded into the control (RTF, or plain text when it is not RTF).

#include "platform/application.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char *argv[])
{
    platform::Application app(argc, argv);
    platform::setApplicationTitle(QStringLiteral("Rich Edit Demo"));
    CreateGlobalIntl(app);

    QMainWindow window;
    window.setObjectName(QStringLiteral("RichEditDemo"));
    window.setWindowTitle(QStringLiteral("Rich Edit Demo"));
    window.resize(640, 420);
    auto *edit = new TwwDBRichEdit(&window);
    edit->setObjectName(QStringLiteral("RichEdit1"));
    edit->SetPopupOptions(TwwRichEditPopupOptions(0x3FFF));
    edit->SetScrollBars(ssVertical);
    window.setCentralWidget(edit);
    window.statusBar()->addWidget(new QLabel(QStringLiteral("F2, or Edit in the context menu, opens the editor window")));

    const QStringList arguments = app.arguments();
    if (arguments.size() > 1)
        platform::runGuarded([&] {
            edit->Lines()->LoadFromFile(arguments.at(1));
            edit->SetModified(false);
        });
    window.show();
    edit->setFocus();
    return app.exec();
}
