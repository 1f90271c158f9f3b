// The Tinlark: keeps canned speeches and puts them on the clipboard.

#include "Exception.h"
#include "Mainfrm.h"
#include "TApplication.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    try {
        app.setTitle(QStringLiteral("The Tinlark"));
        TForm1 form;
        form.show();
        app.exec();
    } catch (const std::exception &error) {
        app.showException(error);
    } catch (...) {
        app.showException(Exception(QString()));
    }
    return 0;
}
