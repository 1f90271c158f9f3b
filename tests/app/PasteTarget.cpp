// A window of another program to paste into: a text field that prints what it holds at each change.

#include <QApplication>
#include <QLineEdit>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLineEdit field;
    field.setWindowTitle(QStringLiteral("Paste here"));
    QObject::connect(&field, &QLineEdit::textChanged, [](const QString &text) {
        std::printf("%s\n", text.toUtf8().constData());
        std::fflush(stdout);
    });
    field.show();
    return app.exec();
}
